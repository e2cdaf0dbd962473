// Fuzz target: the librevenge adapter alone, driven by any order of the events the libraries
// may send (each input byte picks one), so that unbalanced and misplaced events are explored
// without a library's parser in between. The writer must see a stream in order.
#include "FuzzReader.h"

#include "convert/core/ConvertError.h"
#include "convert/core/HeaderPass.h"
#include "convert/revenge/RevengeAdapter.h"

#include <cstddef>
#include <cstdint>

namespace {

using librevenge::RVNGPropertyList;

RVNGPropertyList ListLevel(std::uint8_t byte) {
    static const char* const kFormats[] = {"1", "a", "A", "i", "I", ""};
    RVNGPropertyList list;
    list.insert("librevenge:list-id", byte & 3);
    list.insert("librevenge:level", (byte >> 2) & 7);
    list.insert("style:num-format", kFormats[byte % 6]);
    list.insert("text:display-levels", byte >> 5);
    if (byte & 0x80) {
        list.insert("text:start-value", static_cast<int>(byte) - 200);
    }
    return list;
}

void Event(corvanel::convert::revenge::RevengeAdapter& a, std::uint8_t byte,
           std::uint8_t argument) {
    const RVNGPropertyList none;
    switch (byte % 32) {
        case 0:
            a.openParagraph(none);
            break;
        case 1:
            a.closeParagraph();
            break;
        case 2:
            a.insertText("text");
            break;
        case 3:
            a.insertTab();
            break;
        case 4:
            a.insertSpace();
            break;
        case 5:
            a.insertLineBreak();
            break;
        case 6:
            a.openTable(none);
            break;
        case 7:
            a.closeTable();
            break;
        case 8:
            a.openTableRow(none);
            break;
        case 9:
            a.closeTableRow();
            break;
        case 10:
            a.openTableCell(none);
            break;
        case 11:
            a.closeTableCell();
            break;
        case 12:
            a.insertCoveredTableCell(none);
            break;
        case 13:
            a.openFootnote(none);
            break;
        case 14:
            a.closeFootnote();
            break;
        case 15:
            a.openEndnote(none);
            break;
        case 16:
            a.closeEndnote();
            break;
        case 17:
            a.openTextBox(none);
            break;
        case 18:
            a.closeTextBox();
            break;
        case 19:
            a.openHeader(none);
            break;
        case 20:
            a.closeHeader();
            break;
        case 21:
            a.openComment(none);
            break;
        case 22:
            a.closeComment();
            break;
        case 23:
            a.openOrderedListLevel(ListLevel(argument));
            break;
        case 24:
            a.openUnorderedListLevel(ListLevel(argument));
            break;
        case 25:
            a.closeOrderedListLevel();
            break;
        case 26:
            a.openListElement(ListLevel(argument));
            break;
        case 27:
            a.closeListElement();
            break;
        case 28: {
            RVNGPropertyList span;
            span.insert("text:display", argument & 1 ? "none" : "true");
            span.insert("fo:font-weight", argument & 4 ? "bold" : "normal");
            a.openSpan(span);
            if (argument & 2) {
                RVNGPropertyList link;
                link.insert("xlink:href", argument & 8 ? "#mark" : "http://example.com/");
                a.openLink(link);
            }
            break;
        }
        case 29:
            a.closeSpan();
            if (argument & 2) {
                a.closeLink();
            }
            break;
        case 30:
            a.openFooter(none);
            break;
        default:
            a.closeFooter();
            break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // As the reader does: the headers in a pass of their own, then the rest.
    corvanel::convert::fuzz::CheckedWriter out;
    try {
        corvanel::convert::ReadHeadersFirst(out.sink, [&](corvanel::convert::DocumentSink& pass) {
            corvanel::convert::revenge::RevengeAdapter adapter(pass);
            for (std::size_t i = 0; i < size; ++i) {
                Event(adapter, data[i], i + 1 < size ? data[i + 1] : 0);
            }
            adapter.Finish();
        });
        out.sink.EndDocument();
    } catch (const corvanel::convert::ConvertError&) {
    }
    return 0;
}
