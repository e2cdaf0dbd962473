#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace corvanel::convert {

// The text file's name for a document's file name: the text after the last "." is replaced by
// "txt" ("a.b.doc" -> "a.b.txt", "notes." -> "notes.txt", ".docx" -> ".txt"). A name without any
// "." has no such name: nothing is returned.
std::optional<std::string> TextFileNameFor(std::string_view fileName);
// The same with another extension ("md" for Markdown).
std::optional<std::string> OutputFileNameFor(std::string_view fileName, std::string_view extension);

}  // namespace corvanel::convert
