#include "server/ServerOptions.h"

#include "cli/CommandOptions.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>

namespace corvanel::server {

namespace {

constexpr unsigned kMaxJobs = 256;
constexpr unsigned kMaxQueue = 100000;
constexpr unsigned kMaxConnections = 10000;
constexpr unsigned kMaxMemoryMiB = 1u << 20;
constexpr unsigned kMaxPerWorker = 1000000000;
constexpr std::uint64_t kMaxBody = 64ull << 30;

std::optional<double> ParseSeconds(const std::string& text) {
    char* end = nullptr;
    const double seconds = std::strtod(text.c_str(), &end);
    if (text.empty() || end != text.c_str() + text.size() || !(seconds > 0) || seconds > 1e6) {
        return std::nullopt;
    }
    return seconds;
}

// An option that takes a value, and where the value goes once it was found usable.
struct ValueOption {
    const char* shortName;
    const char* longName;
    std::string (*apply)(ServerOptions&, const std::string&);
};

std::string Count(unsigned& into, const std::string& value, const char* name, unsigned maximum) {
    const auto count = cli::ParseCount(value, maximum);
    if (!count) {
        return std::string("option ") + name + " needs a whole number from 1 to " +
               std::to_string(maximum) + ", not \"" + value + "\"";
    }
    into = *count;
    return {};
}

std::string Seconds(double& into, const std::string& value, const char* name) {
    const auto seconds = ParseSeconds(value);
    if (!seconds) {
        return std::string("option ") + name + " needs a number of seconds above 0, not \"" +
               value + "\"";
    }
    into = *seconds;
    return {};
}

constexpr ValueOption kValueOptions[] = {
    {nullptr, "--listen",
     [](ServerOptions& o, const std::string& v) -> std::string {
         return ParseListen(v, o.host, o.port) ? std::string()
                                               : "--listen takes HOST:PORT, not \"" + v + "\"";
     }},
    {"-j", "--jobs",
     [](ServerOptions& o, const std::string& v) { return Count(o.jobs, v, "--jobs", kMaxJobs); }},
    {nullptr, "--queue",
     [](ServerOptions& o, const std::string& v) {
         return Count(o.queue, v, "--queue", kMaxQueue);
     }},
    {nullptr, "--max-body",
     [](ServerOptions& o, const std::string& v) -> std::string {
         const auto size = ParseSize(v);
         if (!size || *size == 0 || *size > kMaxBody) {
             return "--max-body takes a size above 0 and up to 64G (as 100M), not \"" + v + "\"";
         }
         o.maxBody = *size;
         return {};
     }},
    {nullptr, "--max-connections",
     [](ServerOptions& o, const std::string& v) {
         return Count(o.maxConnections, v, "--max-connections", kMaxConnections);
     }},
    {nullptr, "--timeout",
     [](ServerOptions& o, const std::string& v) {
         return Seconds(o.timeoutSeconds, v, "--timeout");
     }},
    {nullptr, "--max-memory",
     [](ServerOptions& o, const std::string& v) {
         return Count(o.maxMemoryMiB, v, "--max-memory", kMaxMemoryMiB);
     }},
    {nullptr, "--max-per-worker",
     [](ServerOptions& o, const std::string& v) {
         return Count(o.maxPerWorker, v, "--max-per-worker", kMaxPerWorker);
     }},
    {nullptr, "--header-timeout",
     [](ServerOptions& o, const std::string& v) {
         return Seconds(o.headerTimeoutSeconds, v, "--header-timeout");
     }},
    {nullptr, "--body-timeout",
     [](ServerOptions& o, const std::string& v) {
         return Seconds(o.bodyTimeoutSeconds, v, "--body-timeout");
     }},
    {nullptr, "--grace",
     [](ServerOptions& o, const std::string& v) { return Seconds(o.graceSeconds, v, "--grace"); }},
    {nullptr, "--token-file",
     [](ServerOptions& o, const std::string& v) {
         o.tokenFile = v;
         return std::string();
     }},
    {nullptr, "--fallback",
     [](ServerOptions& o, const std::string& v) -> std::string {
         if (v.rfind("http://", 0) != 0) {
             return "--fallback takes an http:// URL, not \"" + v + "\"";
         }
         o.fallback = v;
         return {};
     }},
    {nullptr, "--log",
     [](ServerOptions& o, const std::string& v) {
         o.log = v;
         return std::string();
     }},
};

}  // namespace

std::optional<std::uint64_t> ParseSize(const std::string& text) {
    std::uint64_t value = 0;
    const char* const last = text.data() + text.size();
    const auto [end, error] = std::from_chars(text.data(), last, value);
    if (error != std::errc() || end == text.data()) {
        return std::nullopt;
    }
    unsigned shift = 0;
    if (end != last) {
        if (end + 1 != last) {
            return std::nullopt;
        }
        switch (*end) {
            case 'K':
            case 'k':
                shift = 10;
                break;
            case 'M':
            case 'm':
                shift = 20;
                break;
            case 'G':
            case 'g':
                shift = 30;
                break;
            default:
                return std::nullopt;
        }
    }
    if (value > (UINT64_MAX >> shift)) {
        return std::nullopt;
    }
    return value << shift;
}

bool ParseListen(const std::string& text, std::string& host, int& port) {
    const std::size_t colon = text.rfind(':');
    if (colon == std::string::npos) {
        return false;
    }
    std::string name = text.substr(0, colon);
    if (name.size() >= 2 && name.front() == '[' && name.back() == ']') {
        name = name.substr(1, name.size() - 2);
    }
    const std::string number = text.substr(colon + 1);
    int value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error != std::errc() || end != number.data() + number.size() || value < 0 ||
        value > 65535 || name.find_first_of("[] /") != std::string::npos) {
        return false;
    }
    if (!name.empty()) {
        host = name;
    }
    port = value;
    return true;
}

std::string ServerUsageText() {
    return "Usage: corvanel-server [OPTION]...\n"
           "Serves document conversions over HTTP with Apache Tika server's endpoints (PUT\n"
           "/tika, /tika/text, /rmeta, /meta, /detect/stream...) and its own (POST\n"
           "/v1/convert, GET /healthz, GET /metrics). Each document is converted in a worker\n"
           "process under the time and memory limits; nothing is written to disk.\n"
           "\n"
           "      --listen HOST:PORT     the address to listen on (default: 127.0.0.1:9998;\n"
           "                             port 0: any free one, printed at start)\n"
           "  -j, --jobs N               worker processes (default: one per core)\n"
           "      --queue N              documents that may wait for a worker; more are\n"
           "                             answered 503 (default: four per worker)\n"
           "      --max-body SIZE        largest request body, as 512K, 100M or 1G\n"
           "                             (default: 100M); larger ones are refused with 413\n"
           "      --max-connections N    connections served at once; more are refused with\n"
           "                             503 (default: 64)\n"
           "      --timeout SECONDS      stop a document that takes longer (default: 120)\n"
           "      --max-memory MIB       stop a document whose worker needs more (default:\n"
           "                             2048)\n"
           "      --max-per-worker N     replace a worker after N documents (default: 10000)\n"
           "      --header-timeout SECONDS  a request's line and headers must arrive within\n"
           "                             this time (default: 10)\n"
           "      --body-timeout SECONDS a request's body must arrive, and its answer be\n"
           "                             taken, within this time (default: 60)\n"
           "      --grace SECONDS        on SIGTERM or Ctrl+C, how long requests under way\n"
           "                             may take to finish (default: 10)\n"
           "      --token-file FILE      every request needs \"Authorization: Bearer TOKEN\",\n"
           "                             TOKEN being FILE's first line\n"
           "      --fallback URL         forward documents Corvanel does not read to this\n"
           "                             Tika-compatible server (http://HOST:PORT)\n"
           "      --log FILE|-           one line per request to FILE (default: standard\n"
           "                             error)\n"
           "  -h, --help                 show this help and exit\n"
           "      --version              show the version and exit\n";
}

ServerParse ParseServerOptions(const std::vector<std::string>& arguments) {
    ServerOptions options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& arg = arguments[i];
        if (arg == "-h" || arg == "--help") {
            options.help = true;
            continue;
        }
        if (arg == "--version") {
            options.version = true;
            continue;
        }
        cli::OptionArgument given = cli::SplitOptionArgument(arg);
        const auto option =
            std::find_if(std::begin(kValueOptions), std::end(kValueOptions), [&](const auto& o) {
                return given.name == o.longName ||
                       (o.shortName != nullptr && given.name == o.shortName);
            });
        if (option == std::end(kValueOptions)) {
            return {std::nullopt, "unknown option " + arg};
        }
        if (std::string error = cli::TakeOptionValue(arguments, i, given); !error.empty()) {
            return {std::nullopt, error};
        }
        if (std::string error = option->apply(options, *given.value); !error.empty()) {
            return {std::nullopt, error};
        }
    }
    return {std::move(options), {}};
}

}  // namespace corvanel::server
