#pragma once

#include <optional>
#include <string>

namespace corvanel::cli {

struct TargetRule {
    std::string outputFolder;       // empty: beside the document
    bool keepTree = false;          // the document's path kept under outputFolder
    std::string extension = "txt";  // "md" for Markdown
};

// The text (or Markdown) file of a document; nothing when the document's name has no extension to
// replace.
std::optional<std::string> TargetFor(const std::string& source, const TargetRule& rule);

// The path a document keeps under the output folder, as `rsync --relative` and tar keep it:
// lexically normalised, its root dropped; a path that would still climb out of the folder
// ("../x") is taken in its absolute form instead.
std::string MirroredPath(const std::string& source);

}  // namespace corvanel::cli
