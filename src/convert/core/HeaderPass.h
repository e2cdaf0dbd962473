#pragma once

#include "convert/core/ForwardingSink.h"

namespace corvanel::convert {

// Headers must reach the sink before the body, but some formats give each section's headers
// where the section starts (RTF). Such a reader reads the document twice when headers are
// wanted: through a pass that lets only the headers through, then through one that leaves
// them out and lets everything else through.
class HeaderPass final : public ForwardingSink {
public:
    enum class Mode { kHeadersOnly, kAllButHeaders };
    HeaderPass(DocumentSink& target, Mode mode) : ForwardingSink(target), mode_(mode) {}

    bool WantsProperties() const override;
    bool WantsMarginText(MarginText kind) const override;
    void StartMarginText(MarginText kind, std::string_view author) override;
    void EndMarginText() override;

private:
    // The document's end, format and properties belong to the pass that reads the body.
    void Forward(SinkEvent event, EventCall call) override;
    bool Passes() const { return mode_ == Mode::kAllButHeaders || inHeader_ > 0; }

    Mode mode_;
    int inHeader_ = 0;
};

// Calls `read(sink)` (one whole reading of the document) once, or, when headers are wanted,
// once for them and once for the rest.
template <typename Read>
void ReadHeadersFirst(DocumentSink& sink, Read read) {
    if (!sink.WantsMarginText(MarginText::kHeader)) {
        read(sink);
        return;
    }
    HeaderPass headers(sink, HeaderPass::Mode::kHeadersOnly);
    read(static_cast<DocumentSink&>(headers));
    HeaderPass rest(sink, HeaderPass::Mode::kAllButHeaders);
    read(static_cast<DocumentSink&>(rest));
}

}  // namespace corvanel::convert
