#include "convert/core/ForwardingSink.h"

namespace corvanel::convert {

const char* SinkEventName(SinkEvent event) {
    static constexpr const char* kNames[kSinkEventCount] = {
        "StartParagraph",
        "EndParagraph",
        "ListLabel",
        "Text",
        "Tab",
        "Break",
        "StartTable",
        "EndTable",
        "StartRow",
        "EndRow",
        "StartCell",
        "EndCell",
        "NoteReference",
        "StartNote",
        "EndNote",
        "StartFloatingText",
        "EndFloatingText",
        "StartMarginText",
        "EndMarginText",
        "EndDocument",
        "Heading",
        "ListItem",
        "HeaderRow",
        "CellSpan",
        "CoveredCell",
        "StartLink",
        "EndLink",
        "Style",
        "Picture",
        "Format",
        "Property",
    };
    return kNames[static_cast<int>(event)];
}

bool Opens(SinkEvent event) {
    switch (event) {
        case SinkEvent::kStartParagraph:
        case SinkEvent::kStartTable:
        case SinkEvent::kStartRow:
        case SinkEvent::kStartCell:
        case SinkEvent::kStartNote:
        case SinkEvent::kStartFloatingText:
        case SinkEvent::kStartMarginText:
        case SinkEvent::kStartLink:
            return true;
        default:
            return false;
    }
}

std::optional<SinkEvent> StartClosedBy(SinkEvent end) {
    switch (end) {
        case SinkEvent::kEndParagraph:
            return SinkEvent::kStartParagraph;
        case SinkEvent::kEndTable:
            return SinkEvent::kStartTable;
        case SinkEvent::kEndRow:
            return SinkEvent::kStartRow;
        case SinkEvent::kEndCell:
            return SinkEvent::kStartCell;
        case SinkEvent::kEndNote:
            return SinkEvent::kStartNote;
        case SinkEvent::kEndFloatingText:
            return SinkEvent::kStartFloatingText;
        case SinkEvent::kEndMarginText:
            return SinkEvent::kStartMarginText;
        case SinkEvent::kEndLink:
            return SinkEvent::kStartLink;
        default:
            return std::nullopt;
    }
}

void SendEnd(SinkEvent start, DocumentSink& sink) {
    switch (start) {
        case SinkEvent::kStartParagraph:
            sink.EndParagraph();
            break;
        case SinkEvent::kStartTable:
            sink.EndTable();
            break;
        case SinkEvent::kStartRow:
            sink.EndRow();
            break;
        case SinkEvent::kStartCell:
            sink.EndCell();
            break;
        case SinkEvent::kStartNote:
            sink.EndNote();
            break;
        case SinkEvent::kStartFloatingText:
            sink.EndFloatingText();
            break;
        case SinkEvent::kStartMarginText:
            sink.EndMarginText();
            break;
        case SinkEvent::kStartLink:
            sink.EndLink();
            break;
        default:
            break;
    }
}

}  // namespace corvanel::convert
