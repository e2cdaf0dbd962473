#pragma once

#include "convert/Converter.h"

#include <optional>
#include <string>
#include <vector>

namespace corvanel::cli {

// One source of documents, in command-line order.
struct Input {
    enum class Kind {
        kPath,       // a document, or a folder to walk; "-" is a document on standard input
        kList,       // --files-from: a file (or "-" for standard input) listing document paths
        kUnmatched,  // a wildcard no file matched (Windows, where the program expands them)
    };
    Kind kind = Kind::kPath;
    std::string value;

    bool operator==(const Input&) const = default;
};

struct Options {
    std::string outputFolder;       // empty: each text file beside its document
    unsigned jobs = 0;              // 0: one per hardware thread
    std::vector<Input> inputs;      // in command-line order
    bool nullSeparated = false;     // lists separate their paths with NUL bytes, not line feeds
    std::string jsonlPath;          // empty: no records; "-": standard output
    bool keepTree = false;          // text files mirror the documents' paths under outputFolder
    bool update = false;            // skip documents whose text file is not older than they are
    bool toStdout = false;          // the one document's text goes to standard output
    bool inProcess = false;         // convert on threads of this process, not in worker processes
    double timeoutSeconds = 120;    // per document, in a worker process
    unsigned maxMemoryMiB = 2048;   // resident memory of a worker process
    unsigned maxPerWorker = 10000;  // documents before a worker process is replaced
    bool help = false;
    bool version = false;

    convert::MarginTexts include{};  // headers, footers, comments added to the text
    convert::OutputKind output = convert::OutputKind::kText;  // --to
};

struct ParseResult {
    std::optional<Options> options;
    std::string error;  // set when the command line is not usable
};

ParseResult ParseOptions(const std::vector<std::string>& arguments);

// A whole number from 1 to `maximum`, all of `text`; nothing otherwise.
std::optional<unsigned> ParseCount(const std::string& text, unsigned maximum);

// An option that takes a value, as written: "-oDIR", "--output=DIR", or "-o" / "--output"
// with the value in the next argument.
struct OptionArgument {
    std::string name;
    std::optional<std::string> value;
};
OptionArgument SplitOptionArgument(const std::string& arg);
// Takes the option's value from the argument after `i` when it came without one (moving `i`
// on); an error text when there is none or it is empty.
std::string TakeOptionValue(const std::vector<std::string>& arguments, std::size_t& i,
                            OptionArgument& option);

// The text of --help.
std::string UsageText();

}  // namespace corvanel::cli
