#include "convert/msword/BinaryDocumentReader.h"

#include "convert/core/ConvertError.h"
#include "convert/msword/CompoundFile.h"
#include "convert/msword/Fib.h"
#include "convert/msword/Fonts.h"
#include "convert/msword/FormattingRuns.h"
#include "convert/msword/ListLabels.h"
#include "convert/msword/MainStream.h"
#include "convert/msword/OfficeArt.h"
#include "convert/msword/PieceTable.h"
#include "convert/msword/Stories.h"
#include "convert/msword/StoryWriter.h"
#include "convert/msword/StyleSheet.h"
#include "convert/msword/SummaryInformation.h"

#include <algorithm>
#include <optional>
#include <string>

namespace corvanel::convert::msword {

namespace {

std::string_view SliceOrEmpty(std::string_view data, FcLcb where) {
    if (where.fc > data.size() || where.lcb > data.size() - where.fc) {
        return {};
    }
    return data.substr(where.fc, where.lcb);
}

// All stories end to end; when any follows the body, one more paragraph mark ends them all.
std::uint32_t TotalCharacters(const Fib& fib) {
    const std::uint64_t others = static_cast<std::uint64_t>(fib.ccpFtn) + fib.ccpHdd + fib.ccpMcr +
                                 fib.ccpAtn + fib.ccpEdn + fib.ccpTxbx + fib.ccpHdrTxbx;
    const std::uint64_t total = fib.ccpText + others + (others > 0 ? 1 : 0);
    if (total > 0xFFFFFFFFull) {
        ThrowDamaged("the document's text lengths are impossible");
    }
    return static_cast<std::uint32_t>(total);
}

// The most a file information block can span: its fixed start, then three arrays each with a
// 16-bit count (of 16-bit values, of 32-bit values, of offset/length pairs).
constexpr std::uint64_t kFibMaxBytes = 0x20 + 3 * 2 + 0xFFFF * (2 + 4 + 8);

// As much of the start of the main stream as its file information block can span.
std::string ReadFibBytes(const CompoundStream& wordDocument) {
    const auto length = static_cast<std::size_t>(std::min(wordDocument.Size(), kFibMaxBytes));
    return wordDocument.Read(0, length, "the file information block");
}

// The largest inline picture record read for its description; pictures' data comes after it.
constexpr std::size_t kMaxInlinePictureBytes = 1 << 20;

// The body's WordArt and pictures (only they matter to the text), and the reading of inline
// pictures from the data stream. Neither can fail the document: damaged drawings are missing.
Drawings ReadDrawings(const Fib& fib, std::string_view tables, const Stories& stories,
                      const std::optional<CompoundStream>& data) {
    Drawings drawings;
    if (!stories.shapeAnchors.empty()) {
        std::vector<ShapeFacts> shapes = ReadDrawingShapes(SliceOrEmpty(tables, fib.dggInfo));
        std::stable_sort(shapes.begin(), shapes.end(),
                         [](const ShapeFacts& a, const ShapeFacts& b) { return a.spid < b.spid; });
        for (const auto& [cp, spid] : stories.shapeAnchors) {
            const auto it = std::lower_bound(
                shapes.begin(), shapes.end(), spid,
                [](const ShapeFacts& shape, std::uint32_t id) { return shape.spid < id; });
            if (it != shapes.end() && it->spid == spid && (it->picture || !it->wordArt.empty())) {
                drawings.anchored.push_back({cp, *it});
            }
        }
        std::stable_sort(
            drawings.anchored.begin(), drawings.anchored.end(),
            [](const AnchoredShape& a, const AnchoredShape& b) { return a.cp < b.cp; });
    }
    if (data) {
        drawings.inlinePicture = [&data](std::uint32_t at) -> std::optional<ShapeFacts> {
            if (at >= data->Size()) {
                return std::nullopt;
            }
            try {
                const auto available = static_cast<std::size_t>(
                    std::min<std::uint64_t>(data->Size() - at, kMaxInlinePictureBytes));
                const std::string head = data->Read(
                    at, std::min(available, kInlinePictureHeadBytes), "an inline picture");
                const std::size_t bytes = std::min(InlinePictureBytes(head), available);
                if (bytes == 0) {
                    return std::nullopt;
                }
                if (bytes <= head.size()) {
                    return ReadInlinePictureShape(std::string_view(head).substr(0, bytes));
                }
                return ReadInlinePictureShape(data->Read(at, bytes, "an inline picture"));
            } catch (const ConvertError&) {
                return std::nullopt;
            }
        };
    }
    return drawings;
}

}  // namespace

int CodePageForLanguage(unsigned lid) {
    switch (lid) {
        case 0x0411:
            return 932;  // Japanese
        case 0x0804:
        case 0x1004:
            return 936;  // Chinese (simplified)
        case 0x0412:
            return 949;  // Korean
        case 0x0404:
        case 0x0C04:
        case 0x1404:
            return 950;  // Chinese (traditional)
        default:
            break;
    }
    switch (lid & 0x3FF) {
        case 0x05:  // Czech
        case 0x0E:  // Hungarian
        case 0x15:  // Polish
        case 0x18:  // Romanian
        case 0x1A:  // Croatian (Latin Serbian, Bosnian: same primary language)
        case 0x1B:  // Slovak
        case 0x1C:  // Albanian
        case 0x24:  // Slovenian
            return (lid == 0x0C1A || lid == 0x201A) ? 1251 : 1250;
        case 0x02:  // Bulgarian
        case 0x19:  // Russian
        case 0x22:  // Ukrainian
        case 0x23:  // Belarusian
        case 0x2F:  // Macedonian
        case 0x3F:  // Kazakh
        case 0x44:  // Tatar
        case 0x50:  // Mongolian
            return 1251;
        case 0x08:
            return 1253;  // Greek
        case 0x1F:
        case 0x2C:
            return 1254;  // Turkish, Azeri
        case 0x0D:
            return 1255;  // Hebrew
        case 0x01:
        case 0x20:
        case 0x29:
            return 1256;  // Arabic, Urdu, Farsi
        case 0x25:
        case 0x26:
        case 0x27:
            return 1257;  // Estonian, Latvian, Lithuanian
        case 0x2A:
            return 1258;  // Vietnamese
        case 0x1E:
            return 874;  // Thai
        default:
            return 1252;
    }
}

void ReadWordDocument(const CompoundFile& file, const CompoundStream& wordDocument,
                      DocumentSink& sink) {
    // Word 6 keeps its tables in the main stream, so it is held whole; so is the stream of a
    // file in memory (a view of it, where its sectors follow each other). A large file's main
    // stream is read a range at a time.
    std::string mainBuffer;
    std::string_view held;
    if (file.InMemory()) {
        held = wordDocument.View(mainBuffer);
    }
    std::string fibBuffer;
    if (!file.InMemory()) {
        fibBuffer = ReadFibBytes(wordDocument);
    }
    const std::string_view fibBytes = file.InMemory() ? held : fibBuffer;
    // The format goes first, so that an encrypted or damaged document reports it too.
    const std::string_view format = FibFormatName(fibBytes);
    if (!format.empty()) {
        sink.Format(format);
        if (sink.WantsProperties()) {
            ReadSummaryInformation(file, sink);
        }
    }
    const Fib fib = ReadFib(fibBytes);
    std::string().swap(fibBuffer);  // the block can be large; nothing keeps views of it
    if (fib.encrypted) {
        ThrowPasswordProtected();
    }
    const bool holdWhole = file.InMemory() || fib.IsWord6();
    if (holdWhole && !file.InMemory()) {
        held = wordDocument.View(mainBuffer);
    }
    const MainStream main = holdWhole ? MainStream(held) : MainStream(wordDocument);
    std::string tableBuffer;
    std::string_view tables;
    if (fib.IsWord6()) {
        tables = held;
    } else {
        const std::optional<CompoundStream> tableStream =
            file.OpenStream(fib.tableStreamOne ? "1Table" : "0Table");
        if (!tableStream) {
            ThrowDamaged("its table stream is missing");
        }
        tables = tableStream->View(tableBuffer);
    }
    const int codePage = fib.IsWord6() ? CodePageForLanguage(fib.lid) : 1252;

    const DocumentText text =
        ReadDocumentText(fib, main, tables, TotalCharacters(fib), codePage, file.InMemory());
    const StyleSheet styles(fib, SliceOrEmpty(tables, fib.stshf));
    const CpRuns<CharProps> chars = ReadCharacterRuns(fib, main, tables, text);
    // Row definitions (header rows, merged cells) and pictures are structure only.
    const bool structure = sink.WantsStructure();
    std::vector<TableRowDefinition> rows;
    const CpRuns<ParaProps> paras = ReadParagraphRuns(
        fib, main, tables, text, [&styles](std::uint16_t istd) { return styles.Paragraph(istd); },
        structure ? &rows : nullptr);
    const Fonts fonts(fib, tables);
    ListLabels lists(fib, tables, fonts);
    const MarginTexts margins{sink.WantsMarginText(MarginText::kHeader),
                              sink.WantsMarginText(MarginText::kFooter),
                              sink.WantsMarginText(MarginText::kComment)};
    const Stories stories = ReadStories(fib, tables, text.Size(), margins);
    const std::optional<CompoundStream> data =
        fib.IsWord6() || !structure ? std::nullopt : file.OpenStream("Data");
    const Drawings drawings = ReadDrawings(fib, tables, stories, data);
    StoryWriter(text, chars, paras, stories, lists, fonts, styles, sink, rows, drawings)
        .WriteBody();
}

}  // namespace corvanel::convert::msword
