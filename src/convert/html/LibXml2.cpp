// The loader itself: the names of the calls are not macros here.
#define CORVANEL_LIBXML2_LOADER
#include "convert/html/LibXml2.h"

#include "convert/core/ConvertError.h"
#include "system/ModuleLoader.h"

#include <mutex>
#include <string>

namespace corvanel::convert {

namespace {

LibXml2Functions table;
std::string loadError;

template <typename Pointer>
void Resolve(void* library, const char* name, Pointer& pointer) {
    void* symbol = system::ModuleSymbol(library, name);
    if (symbol == nullptr && loadError.empty()) {
        loadError = std::string("libxml2 has no ") + name;
    }
    pointer = reinterpret_cast<Pointer>(symbol);
}

void Load() {
    // The library stays loaded for the life of the process.
    std::string reason;
    void* library = system::OpenModule("libxml2.so.2", reason);
    if (library == nullptr) {
        loadError = "libxml2, which reads web pages, cannot be loaded: " + reason;
        return;
    }
    Resolve(library, "htmlNewParserCtxt", table.htmlNewParserCtxt);
    Resolve(library, "htmlCtxtReadMemory", table.htmlCtxtReadMemory);
    Resolve(library, "htmlCtxtReadIO", table.htmlCtxtReadIO);
    Resolve(library, "htmlFreeParserCtxt", table.htmlFreeParserCtxt);
    Resolve(library, "xmlStopParser", table.xmlStopParser);
    Resolve(library, "xmlCtxtGetLastError", table.xmlCtxtGetLastError);
    Resolve(library, "xmlDocGetRootElement", table.xmlDocGetRootElement);
    Resolve(library, "xmlGetProp", table.xmlGetProp);
    Resolve(library, "xmlHasProp", table.xmlHasProp);
    Resolve(library, "xmlNodeGetContent", table.xmlNodeGetContent);
    Resolve(library, "xmlUnlinkNode", table.xmlUnlinkNode);
    Resolve(library, "xmlFreeNode", table.xmlFreeNode);
    Resolve(library, "xmlFreeNodeList", table.xmlFreeNodeList);
    Resolve(library, "xmlFreeDoc", table.xmlFreeDoc);
    Resolve(library, "xmlFree", table.xmlFreeVariable);
}

}  // namespace

const LibXml2Functions& LibXml2() {
    static std::once_flag loaded;
    std::call_once(loaded, Load);
    if (!loadError.empty()) {
        throw ConvertError(ErrorCode::kInternal, loadError);
    }
    return table;
}

}  // namespace corvanel::convert
