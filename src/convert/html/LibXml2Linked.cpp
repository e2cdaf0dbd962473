// libxml2 linked into the program (Windows builds carry it statically, with no library to load
// later): the table holds its functions themselves.
#define CORVANEL_LIBXML2_LOADER
#include "convert/html/LibXml2.h"

namespace corvanel::convert {

const LibXml2Functions& LibXml2() {
    static const LibXml2Functions table = {
        &::htmlNewParserCtxt,    &::htmlCtxtReadMemory, &::htmlCtxtReadIO,
        &::htmlFreeParserCtxt,   &::xmlStopParser,      &::xmlCtxtGetLastError,
        &::xmlDocGetRootElement, &::xmlGetProp,         &::xmlHasProp,
        &::xmlNodeGetContent,    &::xmlUnlinkNode,      &::xmlFreeNode,
        &::xmlFreeNodeList,      &::xmlFreeDoc,         &::xmlFree,
    };
    return table;
}

}  // namespace corvanel::convert
