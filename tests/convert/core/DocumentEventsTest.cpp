// The forwarding base passes every event on unchanged; the check of the events' order lets
// documents in order pass and names each kind of event out of place.

#include "convert/core/ContractCheck.h"
#include "convert/core/ForwardingSink.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace corvanel::convert {
namespace {

// Records every event with its arguments, one line each, named as DocumentSink names them.
class EventLog final : public DocumentSink {
public:
    explicit EventLog(MarginTexts wanted = {true, true, true}) : wanted_(wanted) {}
    const std::string& Lines() const { return lines_; }

    void StartParagraph() override { Add("StartParagraph"); }
    void EndParagraph() override { Add("EndParagraph"); }
    void ListLabel(std::string_view l, std::string_view s) override { Add("ListLabel", l, s); }
    void Text(std::string_view utf8) override { Add("Text", utf8); }
    void Tab() override { Add("Tab"); }
    void Break(BreakKind kind) override { Add("Break", std::to_string(int(kind))); }
    void StartTable() override { Add("StartTable"); }
    void EndTable() override { Add("EndTable"); }
    void StartRow() override { Add("StartRow"); }
    void EndRow() override { Add("EndRow"); }
    void StartCell() override { Add("StartCell"); }
    void EndCell() override { Add("EndCell"); }
    void NoteReference(std::string_view mark) override { Add("NoteReference", mark); }
    void StartNote(NoteKind k, std::string_view m) override {
        Add("StartNote", std::to_string(int(k)), m);
    }
    void EndNote() override { Add("EndNote"); }
    void StartFloatingText() override { Add("StartFloatingText"); }
    void EndFloatingText() override { Add("EndFloatingText"); }
    bool WantsMarginText(MarginText kind) const override { return wanted_.Has(kind); }
    void StartMarginText(MarginText k, std::string_view a) override {
        Add("StartMarginText", std::to_string(int(k)), a);
    }
    void EndMarginText() override { Add("EndMarginText"); }
    void EndDocument() override { Add("EndDocument"); }
    bool WantsStructure() const override { return true; }
    void Heading(int level) override { Add("Heading", std::to_string(level)); }
    void ListItem(int level, ListKind k) override {
        Add("ListItem", std::to_string(level), std::to_string(int(k)));
    }
    void HeaderRow() override { Add("HeaderRow"); }
    void CellSpan(int c, int r) override { Add("CellSpan", std::to_string(c), std::to_string(r)); }
    void CoveredCell() override { Add("CoveredCell"); }
    void StartLink(std::string_view t, bool i) override { Add("StartLink", t, i ? "#" : ""); }
    void EndLink() override { Add("EndLink"); }
    void Style(TextStyle s) override {
        Add("Style", std::to_string(s.bold * 4 + s.italic * 2 + s.strike));
    }
    void Picture(std::string_view d, std::string_view t) override { Add("Picture", d, t); }
    void Format(std::string_view name) override { Add("Format", name); }
    bool WantsProperties() const override { return true; }
    void Property(DocumentProperty p, std::string_view v) override {
        Add("Property", std::to_string(int(p)), v);
    }

private:
    void Add(std::string_view event, std::string_view a = {}, std::string_view b = {}) {
        lines_.append(event).append(" ").append(a).append("|").append(b).append("\n");
    }

    MarginTexts wanted_;
    std::string lines_;
};

// A script of events, one word each, played to a sink.
void Play(const std::string& script, DocumentSink& sink) {
    using Event = std::function<void(DocumentSink&)>;
    static const std::map<std::string, Event> kEvents = {
        {"P", [](DocumentSink& s) { s.StartParagraph(); }},
        {"/P", [](DocumentSink& s) { s.EndParagraph(); }},
        {"LABEL", [](DocumentSink& s) { s.ListLabel("1.", "\t"); }},
        {"T", [](DocumentSink& s) { s.Text("words"); }},
        {"TAB", [](DocumentSink& s) { s.Tab(); }},
        {"BR", [](DocumentSink& s) { s.Break(BreakKind::kPage); }},
        {"TABLE", [](DocumentSink& s) { s.StartTable(); }},
        {"/TABLE", [](DocumentSink& s) { s.EndTable(); }},
        {"ROW", [](DocumentSink& s) { s.StartRow(); }},
        {"/ROW", [](DocumentSink& s) { s.EndRow(); }},
        {"CELL", [](DocumentSink& s) { s.StartCell(); }},
        {"/CELL", [](DocumentSink& s) { s.EndCell(); }},
        {"REF", [](DocumentSink& s) { s.NoteReference("1"); }},
        {"NOTE", [](DocumentSink& s) { s.StartNote(NoteKind::kEndnote, "i"); }},
        {"/NOTE", [](DocumentSink& s) { s.EndNote(); }},
        {"FLOAT", [](DocumentSink& s) { s.StartFloatingText(); }},
        {"/FLOAT", [](DocumentSink& s) { s.EndFloatingText(); }},
        {"HEADER", [](DocumentSink& s) { s.StartMarginText(MarginText::kHeader, {}); }},
        {"FOOTER", [](DocumentSink& s) { s.StartMarginText(MarginText::kFooter, {}); }},
        {"COMMENT", [](DocumentSink& s) { s.StartMarginText(MarginText::kComment, "Ann"); }},
        {"/MARGIN", [](DocumentSink& s) { s.EndMarginText(); }},
        {"END", [](DocumentSink& s) { s.EndDocument(); }},
        {"H2", [](DocumentSink& s) { s.Heading(2); }},
        {"H7", [](DocumentSink& s) { s.Heading(7); }},
        {"LI", [](DocumentSink& s) { s.ListItem(1, ListKind::kNumbered); }},
        {"HROW", [](DocumentSink& s) { s.HeaderRow(); }},
        {"SPAN", [](DocumentSink& s) { s.CellSpan(2, 1); }},
        {"SPAN1", [](DocumentSink& s) { s.CellSpan(1, 1); }},
        {"COVERED", [](DocumentSink& s) { s.CoveredCell(); }},
        {"LINK", [](DocumentSink& s) { s.StartLink("https://example.com/", false); }},
        {"/LINK", [](DocumentSink& s) { s.EndLink(); }},
        {"STYLE",
         [](DocumentSink& s) {
             s.Style({true, false, true});
         }},
        {"PIC", [](DocumentSink& s) { s.Picture("a chart", "Sales"); }},
        {"FORMAT", [](DocumentSink& s) { s.Format("docx"); }},
        {"PROP", [](DocumentSink& s) { s.Property(DocumentProperty::kTitle, "Plan"); }},
    };
    std::istringstream words(script);
    for (std::string word; words >> word;) {
        kEvents.at(word)(sink);
    }
}

// Every kind of event, in an order DocumentSink allows.
constexpr const char* kWholeDocument =
    "FORMAT PROP HEADER P T /P /MARGIN "
    "P H2 LI LABEL STYLE T TAB BR REF LINK T /LINK PIC NOTE P T /P /NOTE "
    "FLOAT P T /P /FLOAT COMMENT P T /P /MARGIN /P "
    "TABLE ROW HROW CELL SPAN P T /P TABLE ROW CELL /CELL /ROW /TABLE /CELL "
    "CELL COVERED /CELL /ROW /TABLE FOOTER P T /P /MARGIN PROP END";

TEST(ForwardingSink, PassesEveryEventAndQuestionOnUnchanged) {
    EventLog direct;
    Play(kWholeDocument, direct);
    EventLog target(MarginTexts{false, true, false});
    ForwardingSink forwarding(target);
    Play(kWholeDocument, forwarding);
    EXPECT_EQ(target.Lines(), direct.Lines());
    for (int event = 0; event < kSinkEventCount; ++event) {
        const std::string name = SinkEventName(static_cast<SinkEvent>(event));
        EXPECT_NE(direct.Lines().find(name + " "), std::string::npos) << name << " not played";
    }
    EXPECT_TRUE(forwarding.WantsStructure());
    EXPECT_TRUE(forwarding.WantsProperties());
    EXPECT_FALSE(forwarding.WantsMarginText(MarginText::kHeader));
    EXPECT_TRUE(forwarding.WantsMarginText(MarginText::kFooter));
}

std::vector<std::string> violations;
void Collect(const std::string& description) {
    violations.push_back(description);
}

struct Checked {
    std::vector<std::string> violations;
    std::string passed;  // what reached the sink behind the check
};

Checked Check(const std::string& script, MarginTexts wanted = {true, true, true}) {
    violations.clear();
    EventLog log(wanted);
    ContractCheck check(log, Collect);
    Play(script, check);
    return {violations, log.Lines()};
}

TEST(ContractCheck, LetsEventsInOrderPass) {
    const char* const scripts[] = {
        kWholeDocument,
        "END",
        "TABLE ROW CELL P T /P /CELL /ROW /TABLE END",
        "P T NOTE P T /P /NOTE T /P NOTE /NOTE END",  // notes inline and after the body
        "P T FLOAT TABLE ROW CELL P T /P /CELL /ROW /TABLE /FLOAT /P END",
        "TABLE ROW CELL P COMMENT P T /P /MARGIN /P /CELL /ROW /TABLE END",
        "HEADER TABLE ROW CELL P T /P /CELL /ROW /TABLE /MARGIN P T FOOTER /MARGIN /P END",
    };
    for (const char* script : scripts) {
        const Checked checked = Check(script);
        EXPECT_TRUE(checked.violations.empty()) << script << ": " << checked.violations.front();
        EventLog direct;
        Play(script, direct);
        EXPECT_EQ(checked.passed, direct.Lines()) << script;
    }
}

TEST(ContractCheck, NamesEachEventOutOfPlaceAndWhatWasOpen) {
    const struct {
        const char* script;
        const char* violation;
    } cases[] = {
        {"P P", "StartParagraph where no block may come (open: body > paragraph)"},
        {"TABLE P", "StartParagraph where no block may come (open: body > table)"},
        {"/P", "EndParagraph closing what is not the innermost open (open: body)"},
        {"TABLE ROW CELL /ROW",
         "EndRow closing what is not the innermost open (open: body > table > row > cell)"},
        {"P LINK /P",
         "EndParagraph closing what is not the innermost open "
         "(open: body > paragraph > link)"},
        {"T", "Text outside a paragraph (open: body)"},
        {"TABLE ROW CELL TAB", "Tab outside a paragraph (open: body > table > row > cell)"},
        {"NOTE REF", "NoteReference outside a paragraph (open: body > note)"},
        {"P LINK LINK", "StartLink inside a link (open: body > paragraph > link)"},
        {"ROW", "StartRow outside a table (open: body)"},
        {"TABLE CELL", "StartCell outside a table row (open: body > table)"},
        {"P T LABEL", "ListLabel after the paragraph's label or text (open: body > paragraph)"},
        {"P LABEL LI", "ListItem after the paragraph's label or text (open: body > paragraph)"},
        {"LABEL", "ListLabel outside a paragraph (open: body)"},
        {"TABLE ROW CELL /CELL HROW",
         "HeaderRow not right after StartRow (open: body > table > row)"},
        {"TABLE ROW CELL P /P SPAN",
         "CellSpan not right after StartCell (open: body > table > row > cell)"},
        {"TABLE ROW CELL SPAN COVERED",
         "CoveredCell not right after StartCell (open: body > table > row > cell)"},
        {"P NOTE P NOTE", "StartNote inside a note (open: body > paragraph > note > paragraph)"},
        {"TABLE ROW NOTE", "StartNote between rows or cells (open: body > table > row)"},
        {"TABLE FLOAT", "StartFloatingText between rows or cells (open: body > table)"},
        {"COMMENT P COMMENT",
         "StartMarginText inside a margin text (open: body > comment > paragraph)"},
        {"TABLE ROW FOOTER", "StartMarginText between rows or cells (open: body > table > row)"},
        {"FLOAT HEADER",
         "StartMarginText inside a note or floating text (open: body > floating text)"},
        {"P /P HEADER", "StartMarginText after the body started (open: body)"},
        {"FORMAT FORMAT", "Format a second time (open: body)"},
        {"TABLE /TABLE FORMAT", "Format after the body started (open: body)"},
        {"P END", "EndDocument with something still open (open: body > paragraph)"},
        {"END P", "StartParagraph after EndDocument (open: nothing, the document ended)"},
        {"P H7", "Heading with a level outside 1-6 (open: body > paragraph)"},
        {"TABLE ROW CELL SPAN1",
         "CellSpan spanning no more than its own slot (open: body > table > row > cell)"},
    };
    for (const auto& c : cases) {
        const Checked checked = Check(c.script);
        EXPECT_EQ(checked.violations, std::vector<std::string>{c.violation}) << c.script;
    }
    const Checked unwanted = Check("COMMENT", MarginTexts{true, true, false});
    EXPECT_EQ(unwanted.violations,
              std::vector<std::string>{"StartMarginText of a kind the sink does not want "
                                       "(open: body)"});
    EXPECT_EQ(unwanted.passed, "") << "an event out of place is not passed on";
}

TEST(ContractCheckDeathTest, AbortsByDefaultNamingTheEvent) {
    EventLog log;
    ContractCheck check(log);
    EXPECT_DEATH(Play("TABLE ROW /TABLE", check),
                 "document events out of order: EndTable closing what is not the innermost open "
                 "\\(open: body > table > row\\)");
}

}  // namespace
}  // namespace corvanel::convert
