#pragma once

#include "convert/core/DocumentSink.h"

#include <algorithm>
#include <iterator>
#include <string>
#include <string_view>

namespace corvanel::convert::testing {

// Records the structure events of a document, with the text, as one line per event, so a
// test can compare what a reader reports with what it expects:
//   "P" / "/P", "H2", "LI1#" (level 1, numbered) / "LI0*" (bullet), "LABEL 1.", "T text",
//   "TABLE" / "/TABLE", "ROW" / "/ROW", "HEADER-ROW", "CELL" / "/CELL", "SPAN 2x1", "COVERED",
//   "LINK https://x" / "LINK #bookmark" / "/LINK", "STYLE b" / "STYLE bi" / "STYLE s" /
//   "STYLE -" (plain), "PICTURE description|title", "NOTE 1" / "/NOTE", "REF 1",
//   "FLOAT" / "/FLOAT", "TAB", "BREAK".
//
// A log made without asking for structure (`wantsStructure` false) holds what the plain-text
// writer gets; TextEvents of a log made with it must give the same.
class StructureLog final : public DocumentSink {
public:
    explicit StructureLog(bool wantsStructure = true) : wantsStructure_(wantsStructure) {}

    // The lines so far, each ended by '\n'.
    const std::string& Lines() const { return lines_; }

    void StartParagraph() override { Add("P"); }
    void EndParagraph() override { Add("/P"); }
    void ListLabel(std::string_view label, std::string_view) override {
        Add("LABEL " + std::string(label));
    }
    void Text(std::string_view utf8) override { Add("T " + std::string(utf8)); }
    void Tab() override { Add("TAB"); }
    void Break(BreakKind) override { Add("BREAK"); }
    void StartTable() override { Add("TABLE"); }
    void EndTable() override { Add("/TABLE"); }
    void StartRow() override { Add("ROW"); }
    void EndRow() override { Add("/ROW"); }
    void StartCell() override { Add("CELL"); }
    void EndCell() override { Add("/CELL"); }
    void NoteReference(std::string_view mark) override { Add("REF " + std::string(mark)); }
    void StartNote(NoteKind, std::string_view mark) override { Add("NOTE " + std::string(mark)); }
    void EndNote() override { Add("/NOTE"); }
    void StartFloatingText() override { Add("FLOAT"); }
    void EndFloatingText() override { Add("/FLOAT"); }
    void EndDocument() override {}

    bool WantsStructure() const override { return wantsStructure_; }
    void Heading(int level) override { Add("H" + std::to_string(level)); }
    void ListItem(int level, ListKind kind) override {
        Add("LI" + std::to_string(level) + (kind == ListKind::kNumbered ? "#" : "*"));
    }
    void HeaderRow() override { Add("HEADER-ROW"); }
    void CellSpan(int columns, int rows) override {
        Add("SPAN " + std::to_string(columns) + "x" + std::to_string(rows));
    }
    void CoveredCell() override { Add("COVERED"); }
    void StartLink(std::string_view target, bool internal) override {
        Add("LINK " + std::string(internal ? "#" : "") + std::string(target));
    }
    void EndLink() override { Add("/LINK"); }
    void Style(TextStyle style) override {
        std::string flags;
        flags += style.bold ? "b" : "";
        flags += style.italic ? "i" : "";
        flags += style.strike ? "s" : "";
        Add("STYLE " + (flags.empty() ? std::string("-") : flags));
    }
    void Picture(std::string_view description, std::string_view title) override {
        Add("PICTURE " + std::string(description) + "|" + std::string(title));
    }

private:
    void Add(const std::string& line) { lines_ += line + '\n'; }

    bool wantsStructure_;
    std::string lines_;
};

// The lines of a log that reach plain text: structure lines left out, and text lines that
// follow each other joined (a style or link may split a run of text).
inline std::string TextEvents(const std::string& lines) {
    // Headings and header rows ("H"), list items and links ("LI"), and the rest of structure.
    static constexpr std::string_view kStructure[] = {"H",       "LI",     "/LINK",   "SPAN ",
                                                      "COVERED", "STYLE ", "PICTURE "};
    std::string text;
    bool inText = false;
    for (std::size_t at = 0; at < lines.size();) {
        const std::size_t end = lines.find('\n', at);
        const std::string_view line = std::string_view(lines).substr(at, end - at);
        at = end + 1;
        const bool structure =
            std::any_of(std::begin(kStructure), std::end(kStructure),
                        [&](std::string_view kind) { return line.substr(0, kind.size()) == kind; });
        if (structure) {
            continue;
        }
        const bool isText = line.substr(0, 2) == "T ";
        if (isText && inText) {
            text += line.substr(2);
        } else {
            text += (text.empty() ? "" : "\n") + std::string(line);
        }
        inText = isText;
    }
    return text;
}

}  // namespace corvanel::convert::testing
