#pragma once

// libxml2 (and the ICU it brings) is loaded when the first web page is read, not when the
// program starts: a command run once per document pays about a millisecond to load it, which is
// more than converting a small document takes. The calls below go through functions looked up
// once; include this header after every other one, so the names of the calls in the code stay
// those of libxml2's own documentation.

#include <libxml/HTMLparser.h>
#include <libxml/parserInternals.h>
#include <libxml/tree.h>
#include <libxml/xmlmemory.h>

namespace corvanel::convert {

struct LibXml2Functions {
    decltype(&::htmlNewParserCtxt) htmlNewParserCtxt;
    decltype(&::htmlCtxtReadMemory) htmlCtxtReadMemory;
    decltype(&::htmlCtxtReadIO) htmlCtxtReadIO;
    decltype(&::htmlFreeParserCtxt) htmlFreeParserCtxt;
    decltype(&::xmlStopParser) xmlStopParser;
    decltype(&::xmlCtxtGetLastError) xmlCtxtGetLastError;
    decltype(&::xmlDocGetRootElement) xmlDocGetRootElement;
    decltype(&::xmlGetProp) xmlGetProp;
    decltype(&::xmlHasProp) xmlHasProp;
    decltype(&::xmlNodeGetContent) xmlNodeGetContent;
    decltype(&::xmlUnlinkNode) xmlUnlinkNode;
    decltype(&::xmlFreeNode) xmlFreeNode;
    decltype(&::xmlFreeNodeList) xmlFreeNodeList;
    decltype(&::xmlFreeDoc) xmlFreeDoc;
    xmlFreeFunc* xmlFreeVariable;  // libxml2's own, so a changed allocator is followed
};

// The functions, loaded on the first call; throws ConvertError when libxml2 cannot be loaded.
const LibXml2Functions& LibXml2();

}  // namespace corvanel::convert

#ifndef CORVANEL_LIBXML2_LOADER
#define htmlNewParserCtxt (::corvanel::convert::LibXml2().htmlNewParserCtxt)
#define htmlCtxtReadMemory (::corvanel::convert::LibXml2().htmlCtxtReadMemory)
#define htmlCtxtReadIO (::corvanel::convert::LibXml2().htmlCtxtReadIO)
#define htmlFreeParserCtxt (::corvanel::convert::LibXml2().htmlFreeParserCtxt)
#define xmlStopParser (::corvanel::convert::LibXml2().xmlStopParser)
#define xmlCtxtGetLastError (::corvanel::convert::LibXml2().xmlCtxtGetLastError)
#define xmlDocGetRootElement (::corvanel::convert::LibXml2().xmlDocGetRootElement)
#define xmlGetProp (::corvanel::convert::LibXml2().xmlGetProp)
#define xmlHasProp (::corvanel::convert::LibXml2().xmlHasProp)
#define xmlNodeGetContent (::corvanel::convert::LibXml2().xmlNodeGetContent)
#define xmlUnlinkNode (::corvanel::convert::LibXml2().xmlUnlinkNode)
#define xmlFreeNode (::corvanel::convert::LibXml2().xmlFreeNode)
#define xmlFreeNodeList (::corvanel::convert::LibXml2().xmlFreeNodeList)
#define xmlFreeDoc (::corvanel::convert::LibXml2().xmlFreeDoc)
#undef xmlFree
#define xmlFree (*::corvanel::convert::LibXml2().xmlFreeVariable)
#endif
