#include "server/Routes.h"

#include <iterator>

namespace corvanel::server {

namespace {

struct RouteEntry {
    std::string_view path;
    std::string_view method;
    Endpoint endpoint;
};

constexpr RouteEntry kRoutes[] = {
    {"/tika", "GET", Endpoint::kGreeting},
    {"/tika", "PUT", Endpoint::kTika},
    {"/tika/text", "PUT", Endpoint::kTikaText},
    {"/tika/markdown", "PUT", Endpoint::kTikaMarkdown},
    {"/tika/form", "POST", Endpoint::kTikaForm},
    {"/rmeta", "PUT", Endpoint::kRmeta},
    {"/rmeta/xml", "PUT", Endpoint::kRmeta},
    {"/rmeta/html", "PUT", Endpoint::kRmeta},
    {"/rmeta/text", "PUT", Endpoint::kRmetaText},
    {"/rmeta/markdown", "PUT", Endpoint::kRmetaMarkdown},
    {"/rmeta/ignore", "PUT", Endpoint::kRmetaIgnore},
    {"/rmeta/form", "POST", Endpoint::kRmetaForm},
    {"/meta", "PUT", Endpoint::kMeta},
    {"/detect/stream", "PUT", Endpoint::kDetect},
    {"/version", "GET", Endpoint::kVersion},
    {"/v1/convert", "POST", Endpoint::kConvert},
    {"/healthz", "GET", Endpoint::kHealth},
    {"/metrics", "GET", Endpoint::kMetrics},
};

}  // namespace

Route FindRoute(std::string_view method, std::string_view path) {
    if (path.size() > 1 && path.back() == '/') {
        path.remove_suffix(1);
    }
    if (method == "HEAD") {
        method = "GET";
    }
    Route route;
    route.status = 404;
    for (const RouteEntry& entry : kRoutes) {
        if (entry.path != path) {
            continue;
        }
        if (entry.method == method) {
            return {entry.endpoint, 200, {}};
        }
        route.status = 405;
        route.allow += route.allow.empty() ? "" : ", ";
        route.allow += entry.method;
    }
    return route;
}

const char* EndpointLabel(Endpoint endpoint) {
    for (const RouteEntry& entry : kRoutes) {
        if (entry.endpoint == endpoint) {
            return entry.path.data();  // each path is a whole string literal
        }
    }
    return "other";
}

bool TakesDocument(Endpoint endpoint) {
    switch (endpoint) {
        case Endpoint::kNone:
        case Endpoint::kGreeting:
        case Endpoint::kVersion:
        case Endpoint::kHealth:
        case Endpoint::kMetrics:
            return false;
        default:
            return true;
    }
}

}  // namespace corvanel::server
