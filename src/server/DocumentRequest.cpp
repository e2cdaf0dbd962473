#include "server/DocumentRequest.h"

#include "server/ConnectionServer.h"

#include <cstdlib>

namespace corvanel::server {

using httplib::Request;

std::optional<std::uint64_t> StatedLength(const Request& request) {
    if (!request.has_header("Content-Length")) {
        return std::nullopt;
    }
    const std::string text = request.get_header_value("Content-Length");
    char* end = nullptr;
    const unsigned long long length = std::strtoull(text.c_str(), &end, 10);
    return end == text.c_str() || *end != '\0' ? UINT64_MAX : length;
}

std::string SizeText(std::uint64_t bytes) {
    return bytes % (1u << 20) == 0 ? std::to_string(bytes >> 20) + " MiB"
                                   : std::to_string(bytes) + " bytes";
}

std::optional<Failure> ConversionOptions(const Request& request, Endpoint endpoint, Wanted wanted,
                                         convert::ConvertOptions& options) {
    options.collectFacts = true;
    options.newline = "\n";
    const std::string include = request.has_param("include")
                                    ? request.get_param_value("include")
                                    : request.get_header_value("X-Corvanel-Include");
    if (!ParseInclude(include, options.include)) {
        return Failure{400, "bad-parameter",
                       "include takes headers, footers, comments or all, separated by commas, "
                       "not \"" +
                           EscapeForText(include, 64) + "\""};
    }
    const std::string to = request.get_param_value("to");
    if (endpoint == Endpoint::kConvert && !to.empty() && to != "text" && to != "markdown") {
        return Failure{400, "bad-parameter",
                       "to takes text or markdown, not \"" + EscapeForText(to, 64) + "\""};
    }
    const bool markdown = endpoint == Endpoint::kTikaMarkdown ||
                          endpoint == Endpoint::kRmetaMarkdown ||
                          (endpoint == Endpoint::kConvert && to == "markdown") ||
                          ((endpoint == Endpoint::kTika || endpoint == Endpoint::kTikaForm) &&
                           wanted == Wanted::kMarkdown);
    options.output = markdown ? convert::OutputKind::kMarkdown : convert::OutputKind::kText;
    return std::nullopt;
}

std::optional<Failure> ReadDocument(const Request& request, const httplib::ContentReader& reader,
                                    bool form, std::uint64_t maxBody, std::string& document,
                                    std::string& name, std::uint64_t& received) {
    received = 0;
    bool tooLarge = false;
    const auto count = [&](std::size_t size) {
        received += size;
        tooLarge = received > maxBody;
        return !tooLarge;
    };
    bool read = false;
    bool found = false;
    if (form) {
        bool taking = false;
        read = reader(
            [&](const httplib::MultipartFormData& part) {
                taking = !found &&
                         (!part.filename.empty() || part.name == "upload" || part.name == "file");
                if (taking) {
                    found = true;
                    name = part.filename;
                }
                return true;
            },
            [&](const char* bytes, std::size_t size) {
                if (taking) {
                    document.append(bytes, size);
                }
                return count(size);
            });
    } else {
        name = DispositionFileName(request.get_header_value("Content-Disposition"));
        found = true;
        read = reader([&](const char* bytes, std::size_t size) {
            document.append(bytes, size);
            return count(size);
        });
    }
    if (tooLarge || ConnectionServer::RequestTooLarge()) {
        return Failure{413, "body-too-large",
                       "the body is larger than the limit of " + SizeText(maxBody)};
    }
    if (!read && ConnectionServer::RequestTimedOut()) {
        return Failure{408, "request-timeout", "the body did not arrive in time"};
    }
    if (!read) {
        return Failure{400, "malformed-request", "the body could not be read"};
    }
    if (!found) {
        return Failure{400, "malformed-request", "the form holds no file"};
    }
    return std::nullopt;
}

}  // namespace corvanel::server
