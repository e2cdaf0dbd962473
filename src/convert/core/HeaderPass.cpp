#include "convert/core/HeaderPass.h"

namespace corvanel::convert {

void HeaderPass::Forward(SinkEvent event, EventCall call) {
    const bool ofTheBody = event == SinkEvent::kEndDocument || event == SinkEvent::kFormat ||
                           event == SinkEvent::kProperty;
    if (ofTheBody ? mode_ == Mode::kAllButHeaders : Passes()) {
        call(target_);
    }
}

bool HeaderPass::WantsProperties() const {
    return mode_ == Mode::kAllButHeaders && target_.WantsProperties();
}

bool HeaderPass::WantsMarginText(MarginText kind) const {
    const bool header = kind == MarginText::kHeader;
    return header == (mode_ == Mode::kHeadersOnly) && target_.WantsMarginText(kind);
}

void HeaderPass::StartMarginText(MarginText kind, std::string_view author) {
    if (mode_ == Mode::kHeadersOnly && kind == MarginText::kHeader) {
        ++inHeader_;
    }
    ForwardingSink::StartMarginText(kind, author);
}

void HeaderPass::EndMarginText() {
    ForwardingSink::EndMarginText();
    if (inHeader_ > 0) {
        --inHeader_;
    }
}

}  // namespace corvanel::convert
