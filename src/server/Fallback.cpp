#include "server/Fallback.h"

#include "convert/core/Ascii.h"

#include <chrono>

namespace corvanel::server {

namespace {

// The client's headers that say what it sends and wants; the rest (its connection, our
// token) are not the other server's business.
bool Forwarded(std::string_view name) {
    using convert::ascii::EqualsNoCase;
    return EqualsNoCase(name, "Accept") || EqualsNoCase(name, "Content-Type") ||
           EqualsNoCase(name, "Content-Disposition") ||
           convert::ascii::StartsWithNoCase(name, "X-Tika");
}

}  // namespace

std::optional<Answer> Fallback::Forward(const httplib::Request& request,
                                        const std::string& document, bool asForm,
                                        const std::string& name) const {
    httplib::Client client(url_);
    const auto timeout = std::chrono::duration<double>(timeoutSeconds_);
    client.set_connection_timeout(std::chrono::seconds(10));
    client.set_read_timeout(timeout);
    client.set_write_timeout(timeout);
    httplib::Headers headers;
    for (const auto& [header, value] : request.headers) {
        if (Forwarded(header)) {
            headers.emplace(header, value);
        }
    }
    // The library writes the type of a body it is given.
    std::string type = request.get_header_value("Content-Type");
    headers.erase("Content-Type");
    if (type.empty()) {
        type = "application/octet-stream";
    }
    httplib::Result result{nullptr, httplib::Error::Unknown};
    if (asForm) {
        const httplib::MultipartFormDataItems form{
            {"upload", document, name, "application/octet-stream"}};
        result = client.Post(request.target, headers, form);
    } else if (request.method == "POST") {
        result = client.Post(request.target, headers, document, type);
    } else {
        result = client.Put(request.target, headers, document, type);
    }
    if (!result) {
        return std::nullopt;
    }
    Answer answer;
    answer.status = result->status;
    answer.contentType = result->get_header_value("Content-Type");
    answer.body = std::move(result->body);
    for (const char* header : {"Content-Disposition", "Retry-After"}) {
        if (result->has_header(header)) {
            answer.headers.emplace_back(header, result->get_header_value(header));
        }
    }
    return answer;
}

}  // namespace corvanel::server
