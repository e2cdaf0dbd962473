#include "server/Fallback.h"

#include <chrono>

namespace corvanel::server {

namespace {

// The client's headers that say what it sends and wants; the rest (its connection, our
// token) are not the other server's business.
bool Forwarded(const std::string& name) {
    std::string lower;
    for (const char c : name) {
        lower += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return lower == "accept" || lower == "content-type" || lower == "content-disposition" ||
           lower.rfind("x-tika", 0) == 0;
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
        if (Forwarded(header) && !(asForm && header == "Content-Type")) {
            headers.emplace(header, value);
        }
    }
    std::string contentType = request.get_header_value("Content-Type");
    if (contentType.empty()) {
        contentType = "application/octet-stream";
    }
    headers.erase("Content-Type");
    // One call per branch: a conditional expression holding the form's temporary items makes
    // GCC 12 at -O3 warn that a string may be destroyed uninitialized.
    const auto send = [&]() -> httplib::Result {
        if (asForm) {
            const httplib::MultipartFormDataItems items{
                {"upload", document, name, "application/octet-stream"}};
            return client.Post(request.target, headers, items);
        }
        if (request.method == "POST") {
            return client.Post(request.target, headers, document, contentType);
        }
        return client.Put(request.target, headers, document, contentType);
    };
    httplib::Result result = send();
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
