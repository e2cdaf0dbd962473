#include "cli/CommandOptions.h"

#include "cli/Console.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>

namespace corvanel::cli {

namespace {

constexpr unsigned kMaxJobs = 256;

constexpr unsigned kMaxMemoryMiB = 1u << 20;
constexpr unsigned kMaxPerWorker = 1000000000;

std::optional<unsigned> ParseJobs(const std::string& text) {
    return ParseCount(text, kMaxJobs);
}

// "headers,comments" into `include`; an error message when a word is not one of them.
std::string ParseInclude(const std::string& list, convert::MarginTexts& include) {
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = std::min(list.find(',', start), list.size());
        const std::string word = list.substr(start, comma - start);
        if (word == "headers") {
            include.headers = true;
        } else if (word == "footers") {
            include.footers = true;
        } else if (word == "comments") {
            include.comments = true;
        } else {
            return "--include takes headers, footers and comments, separated by commas, not \"" +
                   word + "\"";
        }
        if (comma == list.size()) {
            return {};
        }
        start = comma + 1;
    }
}

// A file argument as its paths (ExpandFileArgument), or as a wildcard no file matched.
void AddFileArgument(const std::string& argument, std::vector<Input>& inputs) {
    std::vector<std::string> paths = ExpandFileArgument(argument);
    if (paths.empty()) {
        inputs.push_back({Input::Kind::kUnmatched, argument});
    }
    for (std::string& path : paths) {
        inputs.push_back({Input::Kind::kPath, std::move(path)});
    }
}

// The combinations that cannot mean anything, with the reason.
std::string Conflict(const Options& options) {
    const auto stdinUses = std::count_if(options.inputs.begin(), options.inputs.end(),
                                         [](const Input& input) { return input.value == "-"; });
    if (stdinUses > 1) {
        return "standard input (\"-\") can be read only once";
    }
    const bool documentOnStdin = std::any_of(
        options.inputs.begin(), options.inputs.end(),
        [](const Input& input) { return input.kind == Input::Kind::kPath && input.value == "-"; });
    if (!options.toStdout && !documentOnStdin) {
        if (options.keepTree && options.outputFolder.empty()) {
            return "--keep-tree needs an output folder (-o)";
        }
        return {};
    }
    // The text goes to standard output.
    if (options.inputs.size() == 1 && options.inputs[0].kind == Input::Kind::kUnmatched) {
        return "no file matches " + options.inputs[0].value;
    }
    if (options.inputs.size() != 1 || options.inputs[0].kind != Input::Kind::kPath) {
        return "the text of only one document can go to standard output";
    }
    if (!options.outputFolder.empty() || options.keepTree || options.update) {
        return "-o, --keep-tree and --update name text files; standard output is not one";
    }
    if (options.jsonlPath == "-") {
        return "standard output cannot carry both the text and the records";
    }
    return {};
}

}  // namespace

std::optional<unsigned> ParseCount(const std::string& text, unsigned maximum) {
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value == 0 || value > maximum) {
        return std::nullopt;
    }
    return value;
}

OptionArgument SplitOptionArgument(const std::string& arg) {
    if (arg.rfind("--", 0) == 0) {
        const auto equals = arg.find('=');
        if (equals == std::string::npos) {
            return {arg, std::nullopt};
        }
        return {arg.substr(0, equals), arg.substr(equals + 1)};
    }
    if (arg.size() > 2) {
        return {arg.substr(0, 2), arg.substr(2)};
    }
    return {arg, std::nullopt};
}

std::string TakeOptionValue(const std::vector<std::string>& arguments, std::size_t& i,
                            OptionArgument& option) {
    if (!option.value) {
        if (i + 1 >= arguments.size()) {
            return "option " + option.name + " needs a value";
        }
        option.value = arguments[++i];
    }
    if (option.value->empty()) {
        return "option " + option.name + " needs a value, not an empty one";
    }
    return {};
}

std::string UsageText() {
    return "Usage: corvanel-convert [OPTION]... FILE|FOLDER...\n"
           "       corvanel-convert [OPTION]... --files-from LIST\n"
           "       corvanel-convert -c FILE|-\n"
           "Converts word-processing documents (DOCX, DOC, RTF, ODT, HTML, text...) into UTF-8\n"
           "plain-text files, one per document, named after the document with its last\n"
           "extension replaced by \"txt\" (report.docx gives report.txt); with --to markdown,\n"
           "into GitHub-flavoured Markdown files named with \"md\" (report.md).\n"
           "\n"
           "  -t, --to FORMAT        text (the default) or markdown: headings, lists, tables,\n"
           "                         links, notes and emphasis kept as Markdown; the rules\n"
           "                         below for text files hold for Markdown files\n"
           "  -o, --output OUTDIR    write every text file into OUTDIR (created when missing);\n"
           "                         without it, each text file is written beside its document\n"
           "      --keep-tree        with -o: keep each document's path under OUTDIR\n"
           "                         (a/b/report.docx gives OUTDIR/a/b/report.txt)\n"
           "      --files-from LIST  also convert the documents listed in LIST, one path per\n"
           "                         line (\"-\": standard input); read as the work goes on\n"
           "  -0, --null             paths in lists end with NUL bytes, not line feeds\n"
           "      --jsonl FILE       write one JSON record per document to FILE (\"-\": standard\n"
           "                         output; the summary then goes to standard error)\n"
           "      --update           skip documents whose text file is not older than they are\n"
           "  -c, --stdout           write the one document's text to standard output; the\n"
           "                         document \"-\" is read from standard input\n"
           "  -j, --jobs JOBS        convert JOBS documents at a time (default: one per core),\n"
           "                         each in a worker process of its own\n"
           "      --timeout SECONDS  stop a document that takes longer (default: 120)\n"
           "      --max-memory MIB   stop a document whose worker needs more (default: 2048)\n"
           "      --max-per-worker N replace a worker after N documents (default: 10000)\n"
           "      --in-process       convert on threads of this process instead (no limits)\n"
           "      --include LIST     also write the documents' headers, footers and comments\n"
           "                         (LIST: any of headers,footers,comments): headers before\n"
           "                         the text, footers after it, then one line per comment\n"
           "                         (its author, \": \" and its text)\n"
           "  -h, --help             show this help and exit\n"
           "      --version          show the version and exit\n"
           "\n"
           "Folders are walked recursively. In a folder, hidden entries (names starting with\n"
           "\".\") are left out, as are .txt (.md) files that would be written over themselves;\n"
           "a file named on the command line or in a list is always converted. Each folder\n"
           "is walked once, even when links lead to it again. When two documents of one run\n"
           "would give the same text file, the first one keeps it and the later one fails.\n"
           "\n"
           "Each failure is reported on standard error. Exit status: 0 when every document\n"
           "was converted (or skipped), 1 when some failed, 2 when the command line is wrong,\n"
           "130 when interrupted (the documents under way are finished first; a second\n"
           "interrupt ends the program at once; --update then converts the rest).\n";
}

ParseResult ParseOptions(const std::vector<std::string>& arguments) {
    Options options;
    bool onlyInputs = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& arg = arguments[i];
        if (onlyInputs || arg.empty() || arg[0] != '-' || arg == "-") {
            AddFileArgument(arg, options.inputs);
            continue;
        }
        if (arg == "--") {
            onlyInputs = true;
            continue;
        }
        struct Flag {
            const char* shortName;
            const char* longName;
            bool Options::*member;
        };
        static constexpr Flag kFlags[] = {
            {"-h", "--help", &Options::help},
            {nullptr, "--version", &Options::version},
            {"-0", "--null", &Options::nullSeparated},
            {nullptr, "--keep-tree", &Options::keepTree},
            {nullptr, "--update", &Options::update},
            {"-c", "--stdout", &Options::toStdout},
            {nullptr, "--in-process", &Options::inProcess},
        };
        const auto flag = std::find_if(std::begin(kFlags), std::end(kFlags), [&](const Flag& f) {
            return arg == f.longName || (f.shortName != nullptr && arg == f.shortName);
        });
        if (flag != std::end(kFlags)) {
            options.*(flag->member) = true;
            continue;
        }
        OptionArgument option = SplitOptionArgument(arg);
        const std::string& name = option.name;
        const bool output = name == "-o" || name == "--output";
        const bool jobs = name == "-j" || name == "--jobs";
        const bool list = name == "--files-from";
        const bool jsonl = name == "--jsonl";
        const bool timeout = name == "--timeout";
        const bool memory = name == "--max-memory";
        const bool perWorker = name == "--max-per-worker";
        const bool include = name == "--include";
        const bool to = name == "-t" || name == "--to";
        if (!output && !jobs && !list && !jsonl && !timeout && !memory && !perWorker && !include &&
            !to) {
            return {std::nullopt, "unknown option " + arg};
        }
        if (std::string error = TakeOptionValue(arguments, i, option); !error.empty()) {
            return {std::nullopt, error};
        }
        const std::string& value = *option.value;
        if (output) {
            options.outputFolder = value;
        } else if (to) {
            if (value == "text") {
                options.output = convert::OutputKind::kText;
            } else if (value == "markdown") {
                options.output = convert::OutputKind::kMarkdown;
            } else {
                return {std::nullopt, "--to takes text or markdown, not \"" + value + "\""};
            }
        } else if (include) {
            if (std::string error = ParseInclude(value, options.include); !error.empty()) {
                return {std::nullopt, error};
            }
        } else if (list) {
            options.inputs.push_back({Input::Kind::kList, value});
        } else if (jsonl) {
            options.jsonlPath = value;
        } else if (timeout) {
            char* end = nullptr;
            const double seconds = std::strtod(value.c_str(), &end);
            if (end != value.c_str() + value.size() || !(seconds > 0) || seconds > 1e6) {
                return {std::nullopt, "the time limit must be a number of seconds above 0, not \"" +
                                          value + "\""};
            }
            options.timeoutSeconds = seconds;
        } else if (memory || perWorker) {
            const auto count = ParseCount(value, memory ? kMaxMemoryMiB : kMaxPerWorker);
            if (!count) {
                return {std::nullopt, "option " + name + " needs a whole number from 1 to " +
                                          std::to_string(memory ? kMaxMemoryMiB : kMaxPerWorker) +
                                          ", not \"" + value + "\""};
            }
            (memory ? options.maxMemoryMiB : options.maxPerWorker) = *count;
        } else {
            const auto count = ParseJobs(value);
            if (!count) {
                return {std::nullopt, "the number of jobs must be a whole number from 1 to " +
                                          std::to_string(kMaxJobs) + ", not \"" + value + "\""};
            }
            options.jobs = *count;
        }
    }
    if (options.help || options.version) {
        return {std::move(options), {}};
    }
    if (options.inputs.empty()) {
        return {std::nullopt, "no file or folder to convert"};
    }
    if (std::string conflict = Conflict(options); !conflict.empty()) {
        return {std::nullopt, conflict};
    }
    return {std::move(options), {}};
}

}  // namespace corvanel::cli
