#include "convert/rtf/RtfStructure.h"

#include "convert/core/Ascii.h"

#include <algorithm>

namespace corvanel::convert::rtf {

namespace {

constexpr int kBulletFormat = 23;
constexpr int kNoLabelFormat = 255;
constexpr int kBodyOutlineLevel = 9;
constexpr int kMaxHeadingLevel = 6;
constexpr int kMaxBaseChain = 32;
// Word has nine levels; documents never need more lists, styles or rows than these.
constexpr std::size_t kMaxLevels = 9;
constexpr std::size_t kMaxLists = 1 << 14;
constexpr std::size_t kMaxStyles = 1 << 14;
constexpr std::size_t kMaxCells = 1 << 10;
constexpr std::size_t kMaxNameBytes = 256;

// "heading 1".."heading 9" as Word names its built-in styles in RTF, whatever the UI language.
int HeadingFromName(std::string_view name) {
    const std::string lower = ascii::LowerCopy(name);
    if (lower == "title") {
        return 1;
    }
    if (lower.size() == 9 && ascii::StartsWith(lower, "heading ") && lower[8] >= '1' &&
        lower[8] <= '9') {
        return lower[8] - '0';
    }
    return 0;
}

}  // namespace

void RtfStyleSheet::Begin() {
    open_ = true;
    id_ = 0;  // a definition without \sN is style 0
    character_ = false;
    entry_ = {};
}

void RtfStyleSheet::SetId(int id, bool character) {
    id_ = id;
    character_ = character;
}

void RtfStyleSheet::SetFlag(int flag, bool on) {
    entry_.flags[static_cast<std::size_t>(flag)] = on ? 1 : 0;
}

void RtfStyleSheet::AppendName(std::string_view text) {
    if (entry_.nameDone) {
        return;
    }
    const auto end = text.find(';');
    entry_.name.append(text.substr(0, std::min(end, kMaxNameBytes)));
    entry_.nameDone = end != std::string_view::npos || entry_.name.size() >= kMaxNameBytes;
}

void RtfStyleSheet::End() {
    if (!open_) {
        return;
    }
    open_ = false;
    if (id_ < 0) {
        return;  // a section or table style
    }
    auto& styles = character_ ? characterStyles_ : paragraph_;
    if (styles.size() < kMaxStyles || styles.count(id_) != 0) {
        const auto first = entry_.name.find_first_not_of(' ');
        entry_.name.erase(0, first == std::string::npos ? entry_.name.size() : first);
        styles[id_] = std::move(entry_);
    }
}

const RtfStyleSheet::Style* RtfStyleSheet::Find(int id, bool character) const {
    const auto& styles = character ? characterStyles_ : paragraph_;
    const auto it = styles.find(id);
    return it == styles.end() ? nullptr : &it->second;
}

int RtfStyleSheet::HeadingLevel(int id) const {
    const Style* style = Find(id, false);
    for (int depth = 0; style != nullptr && depth < kMaxBaseChain; ++depth) {
        if (style->outlineLevel >= 0) {
            return style->outlineLevel >= kBodyOutlineLevel
                       ? 0
                       : std::min(style->outlineLevel + 1, kMaxHeadingLevel);
        }
        if (const int level = HeadingFromName(style->name); level > 0) {
            return std::min(level, kMaxHeadingLevel);
        }
        style = style->basedOn == id ? nullptr : Find(style->basedOn, false);
    }
    return 0;
}

TextStyle RtfStyleSheet::Chars(int id, bool character) const {
    std::array<std::int8_t, 3> flags{-1, -1, -1};
    const Style* style = Find(id, character);
    for (int depth = 0; style != nullptr && depth < kMaxBaseChain; ++depth) {
        for (std::size_t f = 0; f < flags.size(); ++f) {
            if (flags[f] < 0) {
                flags[f] = style->flags[f];
            }
        }
        style = style->basedOn == id ? nullptr : Find(style->basedOn, character);
    }
    return TextStyle{flags[0] > 0, flags[1] > 0, flags[2] > 0};
}

void RtfListTable::BeginList() {
    if (lists_.size() < kMaxLists) {
        lists_.emplace_back();
    }
}

void RtfListTable::SetListId(int id) {
    if (!lists_.empty()) {
        lists_.back().id = id;
    }
}

void RtfListTable::BeginLevel() {
    if (!lists_.empty() && lists_.back().formats.size() < kMaxLevels) {
        lists_.back().formats.push_back(0);
    }
}

void RtfListTable::SetLevelFormat(int nfc) {
    if (!lists_.empty() && !lists_.back().formats.empty()) {
        lists_.back().formats.back() = nfc;
    }
}

void RtfListTable::BeginOverride() {
    overrideListId_ = 0;
}

void RtfListTable::SetOverrideListId(int id) {
    overrideListId_ = id;
}

void RtfListTable::SetOverrideIndex(int ls) {
    if (overrides_.size() < kMaxLists) {
        overrides_[ls] = overrideListId_;
    }
}

std::optional<ListKind> RtfListTable::Kind(int ls, int ilvl) const {
    const auto it = overrides_.find(ls);
    if (it == overrides_.end()) {
        return std::nullopt;
    }
    for (const List& list : lists_) {
        if (list.id != it->second) {
            continue;
        }
        if (list.formats.empty()) {
            return std::nullopt;
        }
        // A simple list has one level, which serves every level.
        const std::size_t level =
            std::min(static_cast<std::size_t>(std::max(ilvl, 0)), list.formats.size() - 1);
        if (list.formats[level] == kNoLabelFormat) {
            return std::nullopt;
        }
        return list.formats[level] == kBulletFormat ? ListKind::kBullet : ListKind::kNumbered;
    }
    return std::nullopt;
}

void RtfRowDefinition::EndCell() {
    if (cells.size() < kMaxCells) {
        cells.push_back(pending);
    }
    pending = {};
}

}  // namespace corvanel::convert::rtf
