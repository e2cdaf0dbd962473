// Fuzz target: what corvanel-server reads from a request without its HTTP library (the route
// from the method and path, the Accept, Content-Disposition, Authorization and include values,
// the command line's sizes and addresses), and what it writes from request and document text.
// Text made safe to show keeps no control character and is well-formed UTF-8; a file name
// keeps no folder.
#include "convert/core/TextEncoding.h"
#include "server/Answers.h"
#include "server/RequestHeaders.h"
#include "server/Routes.h"
#include "server/ServerOptions.h"
#include "server/TikaOutput.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void Check(bool holds) {
    if (!holds) {
        std::abort();
    }
}

bool SafeToShow(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            Check(c >= 0x20 && c != 0x7F);
            ++i;
            continue;
        }
        const std::size_t length = corvanel::convert::Utf8SequenceLength(text, i);
        Check(length > 0);
        i += length;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace corvanel::server;
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t space = input.find(' ');
    const std::string method = input.substr(0, space);
    const std::string path = space == std::string::npos ? std::string() : input.substr(space + 1);

    const Route route = FindRoute(method, path);
    Check(route.status == 200 || route.status == 404 || route.status == 405);
    Check((route.status == 405) == !route.allow.empty());
    Check((route.status == 200) == (route.endpoint != Endpoint::kNone));
    const Wanted wanted = PreferredAnswer(input);

    const std::string name = DispositionFileName(input);
    Check(name.find_first_of("/\\") == std::string::npos);
    Check(SafeToShow(EscapeForText(input)) && SafeToShow(EscapeForText(name, 16)));

    corvanel::convert::MarginTexts include{};
    ParseInclude(input, include);
    if (!path.empty() && path.find_first_of(" \t") == std::string::npos) {
        Check(BearerMatches("Bearer " + path, path));
        Check(!BearerMatches("Bearer " + path + "x", path));
    }
    ParseSize(input);
    std::string host;
    int port = 0;
    if (ParseListen(input, host, port)) {
        Check(port >= 0 && port <= 65535);
    }

    Converted converted;
    converted.text = input;
    converted.name = EscapeForText(name);
    converted.facts.format = method;
    converted.facts.AddProperty(corvanel::convert::DocumentProperty::kTitle, path);
    DocumentAnswer(route.endpoint, wanted, converted);
    FailureAnswer(route.endpoint, wanted, {422, "damaged", EscapeForText(input)}, &converted);
    MetadataCsv(converted.facts, 1);
    return 0;
}
