#pragma once

#include "convert/msword/Fib.h"
#include "convert/msword/MainStream.h"
#include "convert/msword/PieceTable.h"
#include "convert/msword/Properties.h"

#include <cstdint>
#include <functional>
#include <string_view>
#include <utility>
#include <vector>

namespace corvanel::convert::msword {

// Properties by character position: run i covers [starts[i], starts[i+1]). A document has far
// more runs than distinct sets of properties, so each run refers to its set by index.
template <typename Props>
class CpRuns {
public:
    // The sets of properties the runs refer to; index 0 is the defaults.
    explicit CpRuns(std::vector<Props> table = {Props{}}) : table_(std::move(table)) {}

    void Reserve(std::size_t count) {
        starts_.reserve(count);
        indexes_.reserve(count);
    }

    // From `cp` on, the properties are table entry `index`; a run added again at the same
    // position replaces the one before.
    void Add(std::uint32_t cp, std::uint32_t index) {
        if (!starts_.empty() && starts_.back() == cp) {
            indexes_.back() = index;
            return;
        }
        starts_.push_back(cp);
        indexes_.push_back(index);
    }

    // The properties at `cp`; defaults before the first run.
    const Props& At(std::uint32_t cp) const {
        if (hint_ < starts_.size() && starts_[hint_] <= cp &&
            (hint_ + 1 == starts_.size() || cp < starts_[hint_ + 1])) {
            return table_[indexes_[hint_]];
        }
        std::size_t lo = 0;
        std::size_t hi = starts_.size();
        while (lo < hi) {
            const std::size_t mid = (lo + hi) / 2;
            if (starts_[mid] <= cp) {
                lo = mid + 1;
            } else {
                hi = mid;
            }
        }
        if (lo == 0) {
            return defaults_;
        }
        hint_ = lo - 1;
        return table_[indexes_[hint_]];
    }

    // The properties at `cp`, and in `end` where they stop applying (left as it is when that
    // is further).
    const Props& Run(std::uint32_t cp, std::uint32_t& end) const {
        const Props& props = At(cp);
        if (&props != &defaults_ && hint_ + 1 < starts_.size() && starts_[hint_ + 1] < end) {
            end = starts_[hint_ + 1];
        } else if (&props == &defaults_ && !starts_.empty() && starts_[0] < end) {
            end = starts_[0];
        }
        return props;
    }

    std::size_t Count() const { return starts_.size(); }

private:
    std::vector<std::uint32_t> starts_;
    std::vector<std::uint32_t> indexes_;  // into table_
    std::vector<Props> table_;
    Props defaults_{};
    mutable std::size_t hint_ = 0;
};

// The paragraph properties a style gives, by style index.
using StyleParaProps = std::function<ParaProps(std::uint16_t istd)>;

// Character and paragraph properties of the whole text (and the definitions of the rows that
// row ends refer to, where asked for), from the formatted disk pages listed in
// the bin tables, mapped through the piece table into character positions.
// `table` is the table stream, or for Word 6 and 95 the main stream held whole.
CpRuns<CharProps> ReadCharacterRuns(const Fib& fib, const MainStream& wordDocument,
                                    std::string_view table, const DocumentText& text);
CpRuns<ParaProps> ReadParagraphRuns(const Fib& fib, const MainStream& wordDocument,
                                    std::string_view table, const DocumentText& text,
                                    const StyleParaProps& styles,
                                    std::vector<TableRowDefinition>* rows = nullptr);

}  // namespace corvanel::convert::msword
