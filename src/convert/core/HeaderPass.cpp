#include "convert/core/HeaderPass.h"

namespace corvanel::convert {

void HeaderPass::EndDocument() {
    if (mode_ == Mode::kAllButHeaders) {
        target_.EndDocument();
    }
}

void HeaderPass::Format(std::string_view name) {
    if (mode_ == Mode::kAllButHeaders) {
        target_.Format(name);
    }
}

bool HeaderPass::WantsProperties() const {
    return mode_ == Mode::kAllButHeaders && target_.WantsProperties();
}

void HeaderPass::Property(DocumentProperty property, std::string_view value) {
    if (mode_ == Mode::kAllButHeaders) {
        target_.Property(property, value);
    }
}

bool HeaderPass::WantsMarginText(MarginText kind) const {
    const bool header = kind == MarginText::kHeader;
    return header == (mode_ == Mode::kHeadersOnly) && target_.WantsMarginText(kind);
}

void HeaderPass::StartMarginText(MarginText kind, std::string_view author) {
    if (mode_ == Mode::kHeadersOnly && kind == MarginText::kHeader) {
        ++inHeader_;
    }
    if (Passes()) {
        target_.StartMarginText(kind, author);
    }
}

void HeaderPass::EndMarginText() {
    if (Passes()) {
        target_.EndMarginText();
    }
    if (inHeader_ > 0) {
        --inHeader_;
    }
}

}  // namespace corvanel::convert
