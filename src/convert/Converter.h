#pragma once

// The converter library's public edge: no exception crosses it; every call returns a result
// with a number and a description that names the file and the reason.

#include "convert/core/DocumentFacts.h"
#include "convert/core/ErrorCode.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace corvanel::convert {

class DocumentSink;

struct ConversionResult {
    ErrorCode code = ErrorCode::kNone;
    std::string description;
    // Always the format, when it was recognised; counts and properties when asked for.
    DocumentFacts facts;
    // The size of the source file as opened, when it could be opened.
    std::optional<std::uint64_t> sourceBytes;

    bool Ok() const { return code == ErrorCode::kNone; }
    int Number() const { return static_cast<int>(code); }
};

#ifdef _WIN32
inline constexpr std::string_view kNativeNewline = "\r\n";
#else
inline constexpr std::string_view kNativeNewline = "\n";
#endif

// What a conversion writes: plain text (Word's rules) or GitHub-flavoured Markdown.
enum class OutputKind { kText, kMarkdown };

struct ConvertOptions {
    // Line breaks of the text (Markdown always uses "\n").
    std::string newline{kNativeNewline};
    // Also count the text's characters and words and read the document's stated properties.
    bool collectFacts = false;
    MarginTexts include{};  // none by default, as Word's own text export
    OutputKind output = OutputKind::kText;
};

// Reads a document (format recognised from its content) and sends its events to the sink.
ConversionResult ReadDocument(const std::string& sourcePath, DocumentSink& sink);
// The same for bytes in memory; `label` names the document in descriptions.
ConversionResult ReadDocumentBytes(const std::string& label, std::string bytes, DocumentSink& sink);

// Reads a document into plain text or Markdown, as the options say (UTF-8, no byte-order mark).
ConversionResult ExtractText(const std::string& sourcePath, std::string& text,
                             const ConvertOptions& options = {});

// Reads a document with `read` (ReadDocument or ReadDocumentBytes into the sink given) into plain
// text or Markdown handed to `write`: a short text (nearly all) in one piece at the end, so that a
// document that cannot be read writes nothing; a long one in pieces as it is produced, never held
// whole. Counts the text's characters and words when asked for facts.
ConversionResult StreamText(const std::function<ConversionResult(DocumentSink&)>& read,
                            const std::function<void(std::string_view)>& write,
                            const ConvertOptions& options = {});

// Writes text to a temporary file beside the target and renames it over the target only when
// all of it was written: a failure never leaves a partial file or damages an existing one.
ConversionResult WriteTextFile(const std::string& targetPath, std::string_view text);

// ExtractText, then WriteTextFile.
ConversionResult ConvertFile(const std::string& sourcePath, const std::string& targetPath,
                             const ConvertOptions& options = {});

}  // namespace corvanel::convert
