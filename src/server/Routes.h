#pragma once

// Which endpoint a request's method and path reach: Apache Tika server's paths (so its clients
// work unchanged) and ours.

#include <string>
#include <string_view>

namespace corvanel::server {

enum class Endpoint {
    kNone,
    kGreeting,       // GET /tika
    kVersion,        // GET /version
    kTika,           // PUT /tika: the text, or the Markdown (Accept: text/markdown)
    kTikaText,       // PUT /tika/text: one JSON object, the metadata and the text
    kTikaMarkdown,   // PUT /tika/markdown: the same with the Markdown
    kRmeta,          // PUT /rmeta (/rmeta/xml, /rmeta/html): a JSON array, the text as XHTML
    kRmetaText,      // PUT /rmeta/text
    kRmetaMarkdown,  // PUT /rmeta/markdown
    kRmetaIgnore,    // PUT /rmeta/ignore: no text
    kMeta,           // PUT /meta: the metadata, CSV or JSON
    kDetect,         // PUT /detect/stream: the MIME type
    kTikaForm,       // POST /tika/form: /tika for a multipart upload
    kRmetaForm,      // POST /rmeta/form: /rmeta for a multipart upload
    kConvert,        // POST /v1/convert: our record of the conversion, with the text
    kHealth,         // GET /healthz
    kMetrics,        // GET /metrics
};

struct Route {
    Endpoint endpoint = Endpoint::kNone;
    int status = 200;   // 404 for an unknown path, 405 for a method the path does not take
    std::string allow;  // with 405: the methods it takes ("GET, PUT")
};

// `method` as sent ("HEAD" counts as "GET"); `path` without its query. One trailing slash is
// ignored.
Route FindRoute(std::string_view method, std::string_view path);

// The endpoint's path, as the metrics name it ("/tika", ...; "other" for none).
const char* EndpointLabel(Endpoint endpoint);

// Whether the endpoint converts a document sent in the body.
bool TakesDocument(Endpoint endpoint);

}  // namespace corvanel::server
