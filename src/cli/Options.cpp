#include "cli/Options.h"

#include <charconv>

namespace corvanel::cli {

namespace {

constexpr unsigned kMaxJobs = 256;

std::optional<unsigned> ParseJobs(const std::string& text) {
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value == 0 ||
        value > kMaxJobs) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::string UsageText() {
    return "Usage: corvanel-convert [-o OUTDIR] [-j JOBS] FILE|FOLDER...\n"
           "Converts word-processing documents (DOCX, DOC, RTF, ODT, HTML, text...) into UTF-8\n"
           "plain-text files, one per document, named after the document with its last\n"
           "extension replaced by \"txt\" (report.docx gives report.txt).\n"
           "\n"
           "  -o, --output OUTDIR  write every text file into OUTDIR (created when missing);\n"
           "                       without it, each text file is written beside its document\n"
           "  -j, --jobs JOBS      convert JOBS documents at a time (default: one per core)\n"
           "  -h, --help           show this help and exit\n"
           "      --version        show the version and exit\n"
           "\n"
           "Folders are walked recursively. In a folder, hidden entries (names starting with\n"
           "\".\") are left out, as are .txt files that would be written over themselves;\n"
           "a file named on the command line is always converted. Each folder is walked once,\n"
           "even when links lead to it again. When several documents give the same text file,\n"
           "the one named last wins.\n"
           "\n"
           "Each failure is reported on standard error. Exit status: 0 when every document\n"
           "was converted, 1 when some failed, 2 when the command line is wrong, 130 when\n"
           "interrupted (the documents under way are finished first; a second interrupt\n"
           "ends the program at once).\n";
}

ParseResult ParseOptions(const std::vector<std::string>& arguments) {
    Options options;
    bool onlyInputs = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& arg = arguments[i];
        if (onlyInputs || arg.empty() || arg[0] != '-' || arg == "-") {
            options.inputs.push_back(arg);
            continue;
        }
        if (arg == "--") {
            onlyInputs = true;
            continue;
        }
        if (arg == "-h" || arg == "--help") {
            options.help = true;
            continue;
        }
        if (arg == "--version") {
            options.version = true;
            continue;
        }
        // Options with a value: "-o DIR", "-oDIR", "--output DIR", "--output=DIR".
        std::string name;
        std::optional<std::string> value;
        if (arg.rfind("--", 0) == 0) {
            const auto equals = arg.find('=');
            name = arg.substr(0, equals);
            if (equals != std::string::npos) {
                value = arg.substr(equals + 1);
            }
        } else {
            name = arg.substr(0, 2);
            if (arg.size() > 2) {
                value = arg.substr(2);
            }
        }
        const bool output = name == "-o" || name == "--output";
        const bool jobs = name == "-j" || name == "--jobs";
        if (!output && !jobs) {
            return {std::nullopt, "unknown option " + arg};
        }
        if (!value) {
            if (i + 1 >= arguments.size()) {
                return {std::nullopt, "option " + name + " needs a value"};
            }
            value = arguments[++i];
        }
        if (output) {
            if (value->empty()) {
                return {std::nullopt, "the output folder is empty"};
            }
            options.outputFolder = *value;
        } else {
            const auto count = ParseJobs(*value);
            if (!count) {
                return {std::nullopt, "the number of jobs must be a whole number from 1 to " +
                                          std::to_string(kMaxJobs) + ", not \"" + *value + "\""};
            }
            options.jobs = *count;
        }
    }
    if (options.inputs.empty() && !options.help && !options.version) {
        return {std::nullopt, "no file or folder to convert"};
    }
    return {std::move(options), {}};
}

}  // namespace corvanel::cli
