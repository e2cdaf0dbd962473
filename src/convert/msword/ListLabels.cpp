#include "convert/msword/ListLabels.h"

#include "convert/core/ConvertError.h"
#include "convert/core/SymbolFont.h"
#include "convert/core/TextEncoding.h"
#include "convert/core/Utf16.h"
#include "convert/msword/ByteReader.h"
#include "convert/msword/Sprm.h"

namespace corvanel::convert::msword {

namespace {

constexpr std::size_t kLstfBytes = 28;
constexpr std::size_t kLvlfBytes = 28;
constexpr std::size_t kLfoBytes = 16;
constexpr int kBulletCode = 23;
constexpr std::size_t kMaxLabelChars = 64;  // Word allows far fewer
constexpr std::uint16_t kCRgFtc0 = 0x4A4F;
constexpr std::uint16_t kCFtcSym = 0x4A51;  // the ASCII font, for older writers

std::string Utf8(std::u16string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (utf16::IsHighSurrogate(c) && i + 1 < text.size() &&
            utf16::IsLowSurrogate(text[i + 1])) {
            c = utf16::JoinSurrogates(c, text[i + 1]);
            ++i;
        }
        AppendUtf8(out, c);
    }
    return out;
}

}  // namespace

std::size_t ListLabels::ReadLevel(std::string_view data, Level& level) const {
    const ByteReader r(data, "a list level");
    level.start = r.I32(0);
    const int nfc = r.U8(4);
    level.format = NumberFormatFromWordCode(nfc);
    level.bullet = nfc == kBulletCode;
    const std::uint8_t flags = r.U8(5);
    level.legal = (flags & 0x04) != 0;
    if ((flags & 0x08) != 0) {  // fNoRestart: only levels before ilvlRestartLim restart it
        level.restartAfter = r.U8(26);
    }
    level.follow = r.U8(15);
    const std::size_t chpxBytes = r.U8(24);
    const std::size_t papxBytes = r.U8(25);
    const std::size_t chpxAt = kLvlfBytes + papxBytes;
    SprmIterator sprms(r.Slice(chpxAt, chpxBytes), false);
    Sprm s;
    while (sprms.Next(s)) {
        if ((s.code == kCRgFtc0 || s.code == kCFtcSym) && fonts_ != nullptr) {
            level.symbolFont = ClassifySymbolFont(fonts_->Name(s.Word())) != SymbolFontKind::kOther;
        }
    }
    const std::size_t textAt = chpxAt + chpxBytes;
    const std::size_t length = r.U16(textAt);
    const std::string_view chars = r.Slice(textAt + 2, 2 * length);
    level.text.clear();
    for (std::size_t i = 0; i < length && i < kMaxLabelChars; ++i) {
        level.text.push_back(
            static_cast<char16_t>(static_cast<unsigned char>(chars[2 * i]) |
                                  (static_cast<unsigned char>(chars[2 * i + 1]) << 8)));
    }
    return textAt + 2 + 2 * length;
}

ListLabels::ListLabels(const Fib& fib, std::string_view table, const Fonts& fonts)
    : fonts_(&fonts) {
    if (fib.IsWord6() || fib.plfLst.lcb < 2 || fib.plfLfo.lcb < 4) {
        return;
    }
    // Broken list definitions cost the labels, not the document's text.
    try {
        const ByteReader t(table, "the list table");
        const std::size_t listCount = t.U16(fib.plfLst.fc);
        if (2 + kLstfBytes * listCount > fib.plfLst.lcb) {
            return;
        }
        std::size_t at = fib.plfLst.fc + 2 + kLstfBytes * listCount;
        lists_.resize(listCount);
        for (std::size_t i = 0; i < listCount; ++i) {
            const std::size_t lstf = fib.plfLst.fc + 2 + kLstfBytes * i;
            List& list = lists_[i];
            list.lsid = t.U32(lstf);
            const bool simple = (t.U8(lstf + 26) & 0x01) != 0;
            const int levels = simple ? 1 : kLevels;
            for (int k = 0; k < levels; ++k) {
                if (at >= t.Size()) {
                    t.Fail();
                }
                at += ReadLevel(t.Data().substr(at), list.levels[static_cast<std::size_t>(k)]);
            }
        }
        const std::size_t overrideCount = t.U32(fib.plfLfo.fc);
        if (4 + kLfoBytes * overrideCount > fib.plfLfo.lcb) {
            return;
        }
        overrides_.resize(overrideCount);
        std::vector<std::uint8_t> levelCounts(overrideCount);
        for (std::size_t i = 0; i < overrideCount; ++i) {
            const std::size_t lfo = fib.plfLfo.fc + 4 + kLfoBytes * i;
            const std::uint32_t lsid = t.U32(lfo);
            levelCounts[i] = t.U8(lfo + 12);
            overrides_[i].list = lists_.size();
            for (std::size_t l = 0; l < lists_.size(); ++l) {
                if (lists_[l].lsid == lsid) {
                    overrides_[i].list = l;
                    break;
                }
            }
        }
        // Each override's level changes follow the table, each after a character position.
        at = fib.plfLfo.fc + 4 + kLfoBytes * overrideCount;
        for (std::size_t i = 0; i < overrideCount; ++i) {
            if (levelCounts[i] == 0) {
                continue;
            }
            at += 4;
            for (std::uint8_t n = 0; n < levelCounts[i]; ++n) {
                const std::int32_t startAt = t.I32(at);
                const std::uint32_t flags = t.U32(at + 4);
                at += 8;
                const std::size_t k = flags & 0x0F;
                Override& o = overrides_[i];
                Level replacement;
                if ((flags & 0x20) != 0) {
                    at += ReadLevel(t.Data().substr(std::min(at, t.Size())), replacement);
                }
                if (k >= kLevels) {
                    continue;
                }
                if ((flags & 0x20) != 0) {
                    o.hasLevel[k] = true;
                    o.levels[k] = replacement;
                }
                if ((flags & 0x10) != 0) {
                    o.hasStart[k] = true;
                    o.start[k] = (flags & 0x20) != 0 ? replacement.start : startAt;
                }
            }
        }
    } catch (const ConvertError&) {
        // Keep what was read; overrides pointing past the lists show no label.
    }
}

ListKind ListLabels::Kind(std::uint16_t ilfo, std::uint8_t ilvl) const {
    if (ilfo == 0 || ilfo > overrides_.size() || ilvl >= kLevels) {
        return ListKind::kNumbered;
    }
    const Override& o = overrides_[ilfo - 1];
    if (o.list >= lists_.size()) {
        return ListKind::kNumbered;
    }
    const Level& level = o.hasLevel[ilvl] ? o.levels[ilvl] : lists_[o.list].levels[ilvl];
    return level.bullet ? ListKind::kBullet : ListKind::kNumbered;
}

bool ListLabels::Next(std::uint16_t ilfo, std::uint8_t ilvl, std::string& label,
                      std::string& suffix) {
    if (ilfo == 0 || ilfo > overrides_.size() || ilvl >= kLevels) {
        return false;
    }
    Override& o = overrides_[ilfo - 1];
    if (o.list >= lists_.size()) {
        return false;
    }
    List& list = lists_[o.list];
    auto levelOf = [&](std::size_t k) -> const Level& {
        return o.hasLevel[k] ? o.levels[k] : list.levels[k];
    };
    const Level& level = levelOf(ilvl);
    const auto advance = [&](std::size_t k) {
        if (o.hasStart[k] && !o.startUsed[k]) {
            o.startUsed[k] = true;  // an override restarts the level once, where first used
            list.counters[k] = o.start[k];
        } else if (list.counting[k]) {
            ++list.counters[k];
        } else {
            list.counters[k] = levelOf(k).start;
        }
        list.counting[k] = true;
    };
    // A level skipped on the way down counts as having shown its start value.
    for (std::size_t shallower = 0; shallower < ilvl; ++shallower) {
        if (!list.counting[shallower]) {
            advance(shallower);
        }
    }
    advance(ilvl);
    for (std::size_t deeper = ilvl + 1; deeper < kLevels; ++deeper) {
        const int restartAfter = levelOf(deeper).restartAfter;
        if (restartAfter < 0 || ilvl < restartAfter) {
            list.counting[deeper] = false;
        }
    }
    label.clear();
    if (level.format == NumberFormat::kNone && level.text.empty()) {
        return false;
    }
    for (const char16_t c : level.text) {
        if (c < kLevels) {
            const Level& numbered = levelOf(c);
            const std::int64_t value = list.counting[c] ? list.counters[c] : numbered.start;
            AppendFormattedNumber(label, value,
                                  level.legal ? NumberFormat::kDecimal : numbered.format);
        } else {
            label += Utf8(std::u16string_view(&c, 1));
        }
    }
    if (level.bullet) {
        label =
            BulletText(label, level.symbolFont ? SymbolFontKind::kSymbol : SymbolFontKind::kOther);
    }
    switch (level.follow) {
        case 0:
            suffix = "\t";
            break;
        case 1:
            suffix = " ";
            break;
        default:
            suffix.clear();
            break;
    }
    return !label.empty() || !suffix.empty();
}

}  // namespace corvanel::convert::msword
