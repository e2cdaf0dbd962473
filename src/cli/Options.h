#pragma once

#include <optional>
#include <string>
#include <vector>

namespace corvanel::cli {

struct Options {
    std::string outputFolder;         // empty: each text file beside its document
    unsigned jobs = 0;                // 0: one per hardware thread
    std::vector<std::string> inputs;  // files and folders, in command-line order
    bool help = false;
    bool version = false;
};

struct ParseResult {
    std::optional<Options> options;
    std::string error;  // set when the command line is not usable
};

ParseResult ParseOptions(const std::vector<std::string>& arguments);

// The text of --help.
std::string UsageText();

}  // namespace corvanel::cli
