#include "convert/msword/Stories.h"

#include "convert/core/ConvertError.h"
#include "convert/core/TextEncoding.h"
#include "convert/msword/ByteReader.h"

#include <algorithm>

namespace corvanel::convert::msword {

namespace {

constexpr std::size_t kFrdBytes = 2;
constexpr std::size_t kSedBytes = 12;
constexpr std::size_t kFtxbxsBytes = 22;
constexpr std::size_t kFspaBytes = 26;
constexpr std::size_t kAtrdBytes = 30;
constexpr std::size_t kAtrdOwnerAt = 20;
// The header story starts with the note separators; then each section has six stories.
constexpr std::size_t kHeaderStoriesBefore = 6;
constexpr std::size_t kStoriesPerSection = 6;

// A table of character positions with a fixed-size record per range.
class Plc {
public:
    Plc(std::string_view source, FcLcb where, std::size_t recordBytes)
        : reader_(ByteReader(source, "a table of text positions").Slice(where.fc, where.lcb),
                  "a table of text positions"),
          recordBytes_(recordBytes) {
        if (where.lcb >= 4) {
            count_ = recordBytes == 0 ? where.lcb / 4 - 1 : (where.lcb - 4) / (4 + recordBytes);
        }
    }

    std::size_t Count() const { return count_; }
    std::uint32_t Cp(std::size_t i) const { return reader_.U32(4 * i); }
    std::size_t CpCount() const { return reader_.Size() / 4; }
    ByteReader Record(std::size_t i) const {
        return ByteReader(reader_.Slice(4 * (count_ + 1) + recordBytes_ * i, recordBytes_),
                          "a table of text positions");
    }

private:
    ByteReader reader_;
    std::size_t recordBytes_;
    std::size_t count_ = 0;
};

bool Within(CpRange inner, CpRange outer) {
    return inner.start <= inner.end && inner.start >= outer.start && inner.end <= outer.end;
}

std::vector<NoteEntry> ReadNotes(std::string_view source, FcLcb refs, FcLcb texts, CpRange story,
                                 CpRange main) {
    std::vector<NoteEntry> notes;
    if (refs.lcb == 0 || texts.lcb == 0) {
        return notes;
    }
    const Plc refPlc(source, refs, kFrdBytes);
    const Plc textPlc(source, texts, 0);
    for (std::size_t i = 0; i < refPlc.Count() && i + 1 < textPlc.CpCount(); ++i) {
        NoteEntry note;
        note.referenceCp = refPlc.Cp(i);
        note.autoNumbered = refPlc.Record(i).I16(0) != 0;
        note.text = {story.start + textPlc.Cp(i), story.start + textPlc.Cp(i + 1)};
        if (note.referenceCp < main.end && Within(note.text, story) &&
            note.text.start >= story.start) {
            notes.push_back(note);
        }
    }
    std::stable_sort(notes.begin(), notes.end(), [](const NoteEntry& a, const NoteEntry& b) {
        return a.referenceCp < b.referenceCp;
    });
    return notes;
}

// A section's headers and footers in the order they are given out, as indexes of its six
// stories (even header, odd header, even footer, odd footer, first header, first footer).
constexpr std::size_t kSectionOrder[] = {1, 4, 0, 3, 5, 2};

void ReadHeaders(std::string_view source, FcLcb where, CpRange story, MarginTexts wanted,
                 std::vector<MarginEntry>& margins) {
    const Plc plc(source, where, 0);
    for (std::size_t section = kHeaderStoriesBefore; section + kStoriesPerSection <= plc.Count();
         section += kStoriesPerSection) {
        for (const std::size_t role : kSectionOrder) {
            const MarginText kind =
                role == 0 || role == 1 || role == 4 ? MarginText::kHeader : MarginText::kFooter;
            const CpRange text{story.start + plc.Cp(section + role),
                               story.start + plc.Cp(section + role + 1)};
            if (wanted.Has(kind) && Within(text, story) && text.start < text.end) {
                margins.push_back({kind, text, {}});
            }
        }
    }
}

// The comment authors' names (Word 97 and later): UTF-16 strings, each after its length.
std::vector<std::string> ReadCommentAuthors(std::string_view source, FcLcb where) {
    std::vector<std::string> names;
    const ByteReader r(ByteReader(source, "the comment authors").Slice(where.fc, where.lcb),
                       "the comment authors");
    for (std::size_t at = 0; r.Has(at, 2);) {
        const std::size_t bytes = 2 * std::size_t{r.U16(at)};
        if (!r.Has(at + 2, bytes)) {
            break;
        }
        names.push_back(DecodeUtf16Le(r.Slice(at + 2, bytes)));
        at += 2 + bytes;
    }
    return names;
}

void ReadComments(std::string_view source, const Fib& fib, CpRange story,
                  std::vector<MarginEntry>& margins) {
    if (fib.IsWord6() || fib.plcfandRef.lcb == 0 || fib.plcfandTxt.lcb == 0) {
        return;  // Word 6 keeps its comment records in another layout
    }
    const std::vector<std::string> authors = ReadCommentAuthors(source, fib.grpXstAtnOwners);
    const Plc refs(source, fib.plcfandRef, kAtrdBytes);
    const Plc texts(source, fib.plcfandTxt, 0);
    for (std::size_t i = 0; i < refs.Count() && i + 1 < texts.CpCount(); ++i) {
        const CpRange text{story.start + texts.Cp(i), story.start + texts.Cp(i + 1)};
        const std::size_t owner = refs.Record(i).U16(kAtrdOwnerAt);
        if (Within(text, story) && text.start < text.end) {
            margins.push_back({MarginText::kComment, text,
                               owner < authors.size() ? authors[owner] : std::string()});
        }
    }
}

}  // namespace

Stories ReadStories(const Fib& fib, std::string_view source, std::uint32_t textSize,
                    MarginTexts margins) {
    Stories s;
    std::uint64_t at = 0;
    auto next = [&](std::uint32_t length) {
        const std::uint64_t start = std::min<std::uint64_t>(at, textSize);
        at += length;
        return CpRange{static_cast<std::uint32_t>(start),
                       static_cast<std::uint32_t>(std::min<std::uint64_t>(at, textSize))};
    };
    s.main = next(fib.ccpText);
    const CpRange footnotes = next(fib.ccpFtn);
    const CpRange headers = next(fib.ccpHdd);
    next(fib.ccpMcr);
    const CpRange comments = next(fib.ccpAtn);
    const CpRange endnotes = next(fib.ccpEdn);
    const CpRange textBoxes = next(fib.ccpTxbx);

    s.footnotes = ReadNotes(source, fib.plcffndRef, fib.plcffndTxt, footnotes, s.main);
    s.endnotes = ReadNotes(source, fib.plcfendRef, fib.plcfendTxt, endnotes, s.main);
    // Headers, footers and comments only add to the text: damaged tables of them are read as
    // missing, so asking for them never fails a document that converts without.
    try {
        if ((margins.headers || margins.footers) && fib.plcfHdd.lcb != 0) {
            ReadHeaders(source, fib.plcfHdd, headers, margins, s.margins);
        }
        if (margins.comments) {
            ReadComments(source, fib, comments, s.margins);
        }
    } catch (const ConvertError& e) {
        if (e.Code() != ErrorCode::kDamaged) {
            throw;
        }
        s.margins.clear();
    }

    if (fib.plcfSed.lcb != 0) {
        const Plc sections(source, fib.plcfSed, kSedBytes);
        for (std::size_t i = 1; i <= sections.Count(); ++i) {
            const std::uint32_t end = sections.Cp(i);
            if (end > 0 && end <= s.main.end) {
                s.sectionMarks.push_back(end - 1);
            }
        }
        std::sort(s.sectionMarks.begin(), s.sectionMarks.end());
    }

    if (fib.plcSpaMom.lcb != 0) {
        const Plc shapes(source, fib.plcSpaMom, kFspaBytes);
        for (std::size_t i = 0; i < shapes.Count(); ++i) {
            if (shapes.Cp(i) < s.main.end) {
                s.shapeAnchors.emplace_back(shapes.Cp(i), shapes.Record(i).U32(0));
            }
        }
    }

    if (fib.plcftxbxTxt.lcb != 0 && fib.ccpTxbx != 0) {
        const Plc boxes(source, fib.plcftxbxTxt, kFtxbxsBytes);
        std::vector<std::pair<std::int32_t, std::uint32_t>> anchors;  // shape id, position
        if (fib.plcSpaMom.lcb != 0) {
            const Plc shapes(source, fib.plcSpaMom, kFspaBytes);
            for (std::size_t i = 0; i < shapes.Count(); ++i) {
                anchors.emplace_back(shapes.Record(i).I32(0), shapes.Cp(i));
            }
            std::stable_sort(anchors.begin(), anchors.end(),
                             [](const auto& a, const auto& b) { return a.first < b.first; });
        }
        for (std::size_t i = 0; i < boxes.Count(); ++i) {
            const ByteReader record = boxes.Record(i);
            if (record.U16(8) != 0) {
                continue;  // a slot kept for reuse, no text box
            }
            TextBoxEntry box;
            box.text = {textBoxes.start + boxes.Cp(i), textBoxes.start + boxes.Cp(i + 1)};
            if (!Within(box.text, textBoxes) || box.text.start == box.text.end) {
                continue;
            }
            const std::int32_t shape = record.I32(14);
            const auto anchor =
                std::lower_bound(anchors.begin(), anchors.end(), shape,
                                 [](const auto& a, std::int32_t id) { return a.first < id; });
            if (anchor != anchors.end() && anchor->first == shape && anchor->second < s.main.end) {
                box.anchored = true;
                box.anchorCp = anchor->second;
            }
            s.textBoxes.push_back(box);
        }
    }
    return s;
}

}  // namespace corvanel::convert::msword
