#pragma once

#include "convert/core/ForwardingSink.h"

#include <string>
#include <vector>

namespace corvanel::convert {

// Watches the events on their way to another sink for the order DocumentSink states, and reports
// the first one out of place with its name and where it came (what was open). The converter puts
// it in front of the writers in sanitizer and fuzz builds (CORVANEL_CHECK_EVENTS).
class ContractCheck final : public ForwardingSink {
public:
    // Called with the description of a violation, which is then not passed on; by default one
    // that prints it and aborts.
    using Violation = void (*)(const std::string& description);
    static void AbortOnViolation(const std::string& description);

    explicit ContractCheck(DocumentSink& target, Violation violated = AbortOnViolation)
        : ForwardingSink(target), violated_(violated) {}

    // The events whose arguments the order depends on.
    void StartMarginText(MarginText kind, std::string_view author) override;
    void Heading(int level) override;
    void ListItem(int level, ListKind kind) override;
    void CellSpan(int columns, int rows) override;

private:
    // What is open, innermost last; `used` once something came inside it (for a paragraph: its
    // list label or inline events; its heading or list item marks leave it unused).
    struct Open {
        SinkEvent start;
        MarginText margin = MarginText::kHeader;
        bool used = false;
    };

    void Forward(SinkEvent event, EventCall call) override;
    // The reason `event` may not come now, or nullptr.
    const char* Fault(SinkEvent event) const;
    void Record(SinkEvent event);
    bool Top(SinkEvent start) const { return !open_.empty() && open_.back().start == start; }
    bool Within(SinkEvent start) const;
    bool BlockMayCome() const;
    bool InlineMayCome() const;
    // Reports `event` unless `holds`; returns `holds`.
    bool Require(bool holds, SinkEvent event, const char* why) const;
    std::string Where() const;

    Violation violated_;
    std::vector<Open> open_;
    MarginText nextMargin_ = MarginText::kHeader;
    bool bodyStarted_ = false;
    bool formatSent_ = false;
    bool ended_ = false;
};

}  // namespace corvanel::convert
