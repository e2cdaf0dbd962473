#include "convert/msword/FormattingRuns.h"

#include "convert/core/ConvertError.h"
#include "convert/msword/ByteReader.h"

#include <algorithm>
#include <iterator>

namespace corvanel::convert::msword {

namespace {

constexpr std::size_t kPageBytes = 512;
constexpr std::size_t kCountAt = 511;

template <typename Props>
struct FcRun {
    std::uint32_t fcStart;
    std::uint32_t fcEnd;
    Props props;
};

// The formatted disk pages a bin table lists, as views into the main stream.
std::vector<std::string_view> Pages(const Fib& fib, FcLcb plc, std::string_view wordDocument,
                                    std::string_view table) {
    std::vector<std::string_view> pages;
    const std::size_t pnBytes = fib.IsWord6() ? 2 : 4;
    if (plc.lcb < 4 + 4 + pnBytes) {
        return pages;
    }
    const ByteReader source(fib.IsWord6() ? wordDocument : table, "a table of formatting pages");
    const ByteReader bte(source.Slice(plc.fc, plc.lcb), "a table of formatting pages");
    const std::size_t count = (plc.lcb - 4) / (4 + pnBytes);
    const ByteReader stream(wordDocument, "a formatting page");
    pages.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = 4 * (count + 1) + pnBytes * i;
        const std::uint32_t pn = fib.IsWord6() ? bte.U16(at) : (bte.U32(at) & 0x3FFFFF);
        pages.push_back(stream.Slice(static_cast<std::size_t>(pn) * kPageBytes, kPageBytes));
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

template <typename Props>
CpRuns<Props> MapToCharacterPositions(std::vector<FcRun<Props>>& runs, const DocumentText& text) {
    std::stable_sort(runs.begin(), runs.end(), [](const FcRun<Props>& a, const FcRun<Props>& b) {
        return a.fcStart < b.fcStart;
    });
    // Runs of a sound document never overlap; where a broken one's do, the first one counts.
    // This also keeps the walk below linear.
    std::size_t kept = 0;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        if (kept == 0 || runs[i].fcStart >= runs[kept - 1].fcEnd) {
            runs[kept++] = runs[i];
        }
    }
    runs.resize(kept);
    CpRuns<Props> result;
    const Props defaults{};
    for (const Piece& piece : text.pieces) {
        if (piece.cpEnd == piece.cpStart) {
            continue;
        }
        const std::uint32_t bpc = piece.BytesPerChar();
        const std::uint32_t fcA = piece.fc;
        const std::uint32_t fcB = piece.FcEnd();
        auto toCp = [&](std::uint32_t fc) { return piece.cpStart + (fc - fcA + bpc - 1) / bpc; };
        result.Add(piece.cpStart, defaults);
        auto it = std::partition_point(runs.begin(), runs.end(),
                                       [&](const FcRun<Props>& r) { return r.fcStart < fcA; });
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
            result.Add(cpStart, it->props);
            const std::uint32_t cpEnd = toCp(std::min(fcB, it->fcEnd));
            if (cpEnd < piece.cpEnd) {
                result.Add(cpEnd, defaults);
            }
        }
    }
    return result;
}

}  // namespace

CpRuns<CharProps> ReadCharacterRuns(const Fib& fib, std::string_view wordDocument,
                                    std::string_view table, const DocumentText& text) {
    std::vector<FcRun<CharProps>> runs;
    const CharProps defaults;
    for (const std::string_view pageBytes : Pages(fib, fib.plcfBteChpx, wordDocument, table)) {
        const ByteReader page(pageBytes, "a character formatting page");
        const std::uint8_t crun = PageCount(page, 1);
        for (std::size_t i = 0; i < crun; ++i) {
            FcRun<CharProps> run{page.U32(4 * i), page.U32(4 * i + 4), defaults};
            const std::size_t offset = 2 * static_cast<std::size_t>(page.U8(4 * (crun + 1) + i));
            if (offset != 0 && offset < kCountAt) {
                const std::size_t size =
                    std::min<std::size_t>(page.U8(offset), kCountAt - offset - 1);
                ApplyCharSprms(page.Slice(offset + 1, size), fib.IsWord6(), defaults, run.props);
            }
            if (run.fcEnd > run.fcStart) {
                runs.push_back(run);
            }
        }
    }
    return MapToCharacterPositions(runs, text);
}

CpRuns<ParaProps> ReadParagraphRuns(const Fib& fib, std::string_view wordDocument,
                                    std::string_view table, const DocumentText& text,
                                    const StyleParaProps& styles) {
    std::vector<FcRun<ParaProps>> runs;
    const std::size_t entryBytes = fib.IsWord6() ? 7 : 13;
    for (const std::string_view pageBytes : Pages(fib, fib.plcfBtePapx, wordDocument, table)) {
        const ByteReader page(pageBytes, "a paragraph formatting page");
        const std::uint8_t crun = PageCount(page, entryBytes);
        for (std::size_t i = 0; i < crun; ++i) {
            FcRun<ParaProps> run{page.U32(4 * i), page.U32(4 * i + 4), styles(0)};
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
                    run.props = styles(istd);
                    run.props.istd = istd;
                    ApplyParaSprms(page.Slice(data + 2, size - 2), fib.IsWord6(), run.props);
                }
            }
            if (run.fcEnd > run.fcStart) {
                runs.push_back(run);
            }
        }
    }
    return MapToCharacterPositions(runs, text);
}

}  // namespace corvanel::convert::msword
