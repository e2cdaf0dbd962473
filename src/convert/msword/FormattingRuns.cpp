#include "convert/msword/FormattingRuns.h"

#include "convert/core/ConvertError.h"
#include "convert/msword/ByteReader.h"

#include <algorithm>
#include <array>
#include <functional>
#include <iterator>
#include <string>

namespace corvanel::convert::msword {

namespace {

constexpr std::size_t kPageBytes = 512;
constexpr std::size_t kCountAt = 511;

// A run as the formatting pages store it: a range of the main stream, and its properties as
// an index into the table of distinct ones.
struct FcRun {
    std::uint32_t fcStart;
    std::uint32_t fcEnd;
    std::uint32_t props;
};

std::uint64_t Mix(std::uint64_t h) {
    return h * 0x9E3779B97F4A7C15ull;
}

std::uint64_t HashOf(const CharProps& p) {
    const std::uint64_t flags =
        (p.vanish ? 1u : 0u) | (p.special ? 2u : 0u) | (p.deleted ? 4u : 0u) | (p.symbol ? 8u : 0u);
    const std::uint64_t styles =
        p.bold ^ (std::uint64_t{p.italic} << 8) ^ (std::uint64_t{p.strike} << 16) ^
        (std::uint64_t{p.doubleStrike} << 24) ^ (std::uint64_t{p.pictureAt} << 32);
    return Mix(flags ^ (std::uint64_t{p.symbolFont} << 4) ^ (std::uint64_t{p.symbolChar} << 20) ^
               (std::uint64_t{p.istd} << 36) ^ (std::uint64_t{p.font} << 48) ^ Mix(styles));
}

std::uint64_t HashOf(const ParaProps& p) {
    const std::uint64_t flags = (p.inTable ? 1u : 0u) | (p.rowEnd ? 2u : 0u) |
                                (p.innerCellEnd ? 4u : 0u) | (p.innerRowEnd ? 8u : 0u);
    std::uint64_t h = flags ^ (std::uint64_t{static_cast<std::uint32_t>(p.tableDepth)} << 4) ^
                      (std::uint64_t{p.ilfo} << 20) ^ (std::uint64_t{p.ilvl} << 36) ^
                      (std::uint64_t{p.istd} << 44) ^ (std::uint64_t{p.autoNumberLevel} << 56) ^
                      Mix(p.outlineLevel ^ (std::uint64_t{p.row} << 8));
    if (!p.autoNumber.empty()) {
        h ^= std::hash<std::string_view>{}(p.autoNumber);
    }
    return Mix(h);
}

// The distinct sets of properties met, each kept once as long as it comes back while still
// remembered (a set forgotten is kept again: only memory, never the result, depends on it).
template <typename Props>
class PropsTable {
public:
    std::uint32_t Intern(const Props& props) {
        std::uint32_t& slot = slots_[HashOf(props) >> (64 - kSlotBits)];
        if (table_[slot] == props) {
            return slot;
        }
        slot = static_cast<std::uint32_t>(table_.size());
        table_.push_back(props);
        return slot;
    }

    std::vector<Props> Take() { return std::move(table_); }

private:
    static constexpr int kSlotBits = 10;
    std::vector<Props> table_{Props{}};
    std::array<std::uint32_t, std::size_t{1} << kSlotBits> slots_{};  // indexes into table_
};

// Where the formatted disk pages a bin table lists are in the main stream, each checked to lie
// within it.
std::vector<std::uint64_t> PageOffsets(const Fib& fib, FcLcb plc, const MainStream& wordDocument,
                                       std::string_view table) {
    std::vector<std::uint64_t> pages;
    const std::size_t pnBytes = fib.IsWord6() ? 2 : 4;
    if (plc.lcb < 4 + 4 + pnBytes) {
        return pages;
    }
    const ByteReader source(table, "a table of formatting pages");
    const ByteReader bte(source.Slice(plc.fc, plc.lcb), "a table of formatting pages");
    const std::size_t count = (plc.lcb - 4) / (4 + pnBytes);
    pages.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = 4 * (count + 1) + pnBytes * i;
        const std::uint32_t pn = fib.IsWord6() ? bte.U16(at) : (bte.U32(at) & 0x3FFFFF);
        const std::uint64_t offset = static_cast<std::uint64_t>(pn) * kPageBytes;
        if (!wordDocument.Has(offset, kPageBytes)) {
            ThrowDamaged("a formatting page runs past its end");
        }
        pages.push_back(offset);
    }
    return pages;
}

// The number of runs on a page; a page claiming more than fit is corrupt and its formatting
// is ignored (the text itself does not depend on it).
std::uint8_t PageCount(const ByteReader& page, std::size_t entryBytes) {
    const std::uint8_t crun = page.U8(kCountAt);
    if (4 * (static_cast<std::size_t>(crun) + 1) + entryBytes * crun > kCountAt) {
        return 0;
    }
    return crun;
}

// The runs of the pages listed, each page read when its turn comes. They are counted first, so
// that their list is allocated once, at its size.
template <typename ParseEntry>
std::vector<FcRun> ReadPageRuns(const std::vector<std::uint64_t>& pages,
                                const MainStream& wordDocument, std::size_t entryBytes,
                                const char* what, const ParseEntry& parse) {
    std::string buffer;
    std::size_t total = 0;
    for (const std::uint64_t pageAt : pages) {
        const ByteReader count(wordDocument.Slice(pageAt, kPageBytes, buffer, "a formatting page"),
                               what);
        total += PageCount(count, entryBytes);
    }
    std::vector<FcRun> runs;
    runs.reserve(total);
    for (const std::uint64_t pageAt : pages) {
        const ByteReader page(wordDocument.Slice(pageAt, kPageBytes, buffer, "a formatting page"),
                              what);
        const std::uint8_t crun = PageCount(page, entryBytes);
        for (std::size_t i = 0; i < crun; ++i) {
            const FcRun run{page.U32(4 * i), page.U32(4 * i + 4), parse(page, crun, i)};
            if (run.fcEnd > run.fcStart) {
                runs.push_back(run);
            }
        }
    }
    return runs;
}

// Maps the runs through the pieces into character positions, calling `add(cp, props)` where
// properties start (a later call at the same position replaces the earlier one).
template <typename Add>
void WalkCharacterPositions(const std::vector<FcRun>& runs, const DocumentText& text,
                            const Add& add) {
    constexpr std::uint32_t kDefaults = 0;
    for (const Piece& piece : text.Pieces()) {
        if (piece.cpEnd == piece.cpStart) {
            continue;
        }
        const std::uint32_t bpc = piece.BytesPerChar();
        const std::uint32_t fcA = piece.fc;
        const std::uint32_t fcB = piece.FcEnd();
        auto toCp = [&](std::uint32_t fc) { return piece.cpStart + (fc - fcA + bpc - 1) / bpc; };
        add(piece.cpStart, kDefaults);
        auto it = std::partition_point(runs.begin(), runs.end(),
                                       [&](const FcRun& r) { return r.fcStart < fcA; });
        if (it != runs.begin() && std::prev(it)->fcEnd > fcA) {
            --it;
        }
        for (; it != runs.end() && it->fcStart < fcB; ++it) {
            if (it->fcEnd <= fcA) {
                continue;
            }
            const std::uint32_t cpStart = toCp(std::max(fcA, it->fcStart));
            if (cpStart >= piece.cpEnd) {
                break;
            }
            add(cpStart, it->props);
            const std::uint32_t cpEnd = toCp(std::min(fcB, it->fcEnd));
            if (cpEnd < piece.cpEnd) {
                add(cpEnd, kDefaults);
            }
        }
    }
}

template <typename Props>
CpRuns<Props> MapToCharacterPositions(std::vector<FcRun>& runs, PropsTable<Props>& table,
                                      const DocumentText& text) {
    auto byStart = [](const FcRun& a, const FcRun& b) { return a.fcStart < b.fcStart; };
    // The pages of a sound document list their runs in order: nothing to sort (sorting would
    // take a second list as large).
    if (!std::is_sorted(runs.begin(), runs.end(), byStart)) {
        std::stable_sort(runs.begin(), runs.end(), byStart);
    }
    // Runs of a sound document never overlap; where a broken one's do, the first one counts.
    // This also keeps the walk below linear.
    std::size_t kept = 0;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        if (kept == 0 || runs[i].fcStart >= runs[kept - 1].fcEnd) {
            runs[kept++] = runs[i];
        }
    }
    runs.resize(kept);
    // Counted first, so that the result is allocated once, at its size.
    std::size_t count = 0;
    std::uint32_t lastCp = 0;
    WalkCharacterPositions(runs, text, [&](std::uint32_t cp, std::uint32_t) {
        if (count == 0 || cp != lastCp) {
            ++count;
            lastCp = cp;
        }
    });
    CpRuns<Props> result(table.Take());
    result.Reserve(count);
    WalkCharacterPositions(runs, text,
                           [&](std::uint32_t cp, std::uint32_t props) { result.Add(cp, props); });
    return result;
}

}  // namespace

CpRuns<CharProps> ReadCharacterRuns(const Fib& fib, const MainStream& wordDocument,
                                    std::string_view table, const DocumentText& text) {
    const CharProps defaults;
    PropsTable<CharProps> distinct;
    auto parse = [&](const ByteReader& page, std::uint8_t crun, std::size_t i) {
        CharProps props = defaults;
        const std::size_t offset = 2 * static_cast<std::size_t>(page.U8(4 * (crun + 1) + i));
        if (offset != 0 && offset < kCountAt) {
            const std::size_t size = std::min<std::size_t>(page.U8(offset), kCountAt - offset - 1);
            ApplyCharSprms(page.Slice(offset + 1, size), fib.IsWord6(), defaults, props);
        }
        return distinct.Intern(props);
    };
    std::vector<FcRun> runs = ReadPageRuns(PageOffsets(fib, fib.plcfBteChpx, wordDocument, table),
                                           wordDocument, 1, "a character formatting page", parse);
    return MapToCharacterPositions(runs, distinct, text);
}

CpRuns<ParaProps> ReadParagraphRuns(const Fib& fib, const MainStream& wordDocument,
                                    std::string_view table, const DocumentText& text,
                                    const StyleParaProps& styles,
                                    std::vector<TableRowDefinition>* rows) {
    const std::size_t entryBytes = fib.IsWord6() ? 7 : 13;
    PropsTable<ParaProps> distinct;
    // Word 6 properties may refer into the page: its main stream is held whole, so the view
    // outlives the page's reading.
    auto parse = [&](const ByteReader& page, std::uint8_t crun, std::size_t i) {
        ParaProps props = styles(0);
        const std::size_t offset =
            2 * static_cast<std::size_t>(page.U8(4 * (crun + 1) + entryBytes * i));
        if (offset != 0 && offset + 1 < kCountAt) {
            std::size_t size = 0;
            std::size_t data = 0;
            if (fib.IsWord6()) {
                size = 2 * static_cast<std::size_t>(page.U8(offset));
                data = offset + 1;
            } else if (page.U8(offset) != 0) {
                size = 2 * static_cast<std::size_t>(page.U8(offset)) - 1;
                data = offset + 1;
            } else {
                size = 2 * static_cast<std::size_t>(page.U8(offset + 1));
                data = offset + 2;
            }
            size = std::min(size, kCountAt - data);
            if (size >= 2) {
                const std::uint16_t istd = page.U16(data);
                props = styles(istd);
                props.istd = istd;
                TableRowDefinition row;
                ApplyParaSprms(page.Slice(data + 2, size - 2), fib.IsWord6(), props,
                               rows != nullptr ? &row : nullptr);
                if (rows != nullptr && props.rowEnd && !row.Empty()) {
                    rows->push_back(std::move(row));
                    props.row = static_cast<std::uint32_t>(rows->size());
                }
            }
        }
        return distinct.Intern(props);
    };
    std::vector<FcRun> runs =
        ReadPageRuns(PageOffsets(fib, fib.plcfBtePapx, wordDocument, table), wordDocument,
                     entryBytes, "a paragraph formatting page", parse);
    return MapToCharacterPositions(runs, distinct, text);
}

}  // namespace corvanel::convert::msword
