// librevenge's text events, as the WordPerfect, Works and Mac libraries send them, through the
// adapter into the plain-text writer: the same text rules as every other format, and a balanced
// stream whatever order the events come in.

#include "RevengeProperties.h"

#include "convert/plaintext/PlainTextWriter.h"
#include "convert/revenge/RevengeAdapter.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

namespace corvanel::convert::revenge {
namespace {

using librevenge::RVNGPropertyList;

void Para(RevengeAdapter& a, const char* text) {
    a.openParagraph({});
    a.insertText(text);
    a.closeParagraph();
}

void Cell(RevengeAdapter& a, const char* text) {
    a.openTableCell({});
    Para(a, text);
    a.closeTableCell();
}

struct Case {
    const char* name;
    std::function<void(RevengeAdapter&)> events;
    const char* text;
};

class Events : public ::testing::TestWithParam<Case> {};

TEST_P(Events, GiveTheText) {
    PlainTextWriter writer("\n");
    RevengeAdapter adapter(writer);
    GetParam().events(adapter);
    adapter.Finish();
    writer.EndDocument();
    EXPECT_EQ(writer.TakeText(), GetParam().text);
}

const Case kCases[] = {
    {"RunsTabsSpacesAndBreaks",
     [](RevengeAdapter& a) {
         a.openParagraph({});
         a.insertText("a");
         a.insertTab();
         a.insertText("b");
         a.insertSpace();
         a.insertLineBreak();
         a.insertText("c");
         a.closeParagraph();
         a.openParagraph({});
         a.closeParagraph();
         Para(a, "d");
     },
     "a\tb \nc\n\nd\n"},
    {"HeadersFootersCommentsAndHiddenTextAreLeftOut",
     [](RevengeAdapter& a) {
         a.openHeader({});
         Para(a, "header");
         a.closeHeader();
         a.openParagraph({});
         a.insertText("shown");
         a.openSpan(Props({{"text:display", "none"}}));
         a.insertText(" hidden");
         a.closeSpan();
         a.openComment({});
         Para(a, "comment");
         a.closeComment();
         a.closeParagraph();
         a.openFooter({});
         Para(a, "footer");
         a.closeFooter();
     },
     "shown\n"},
    {"TablesAsTabSeparatedRowsCoveredCellsEmpty",
     [](RevengeAdapter& a) {
         a.openTable({});
         a.openTableRow({});
         Cell(a, "x");
         Cell(a, "y");
         a.closeTableRow();
         a.openTableRow({});
         a.insertCoveredTableCell({});
         Cell(a, "z");
         a.closeTableRow();
         a.closeTable();
         Para(a, "after");
         a.openParagraph({});
         a.insertText("before");
         a.openTable({});  // ends the paragraph it comes in
         a.openTableRow({});
         Cell(a, "t");
         a.closeTable();
         a.insertText("then");
     },
     "x\ty\n\tz\nafter\nbefore\nt\nthen\n"},
    {"MisplacedTablePartsStayBalanced",
     [](RevengeAdapter& a) {
         a.openTableCell({});  // no table open: dropped with its close
         a.closeTableCell();
         a.openTable({});
         Cell(a, "a");        // a cell before any row starts one
         a.openTableRow({});  // the open row ends here
         Cell(a, "b");
         a.closeTableCell();  // closes nothing
         a.closeTableRow();
         a.closeTableRow();
         a.openTableRow({});
         a.openTableCell({});
         a.openTable({});
         a.openTableRow({});
         Cell(a, "in");
         // The inner table, its row and the outer cell are left open: the outer table's close
         // ends them all.
         a.closeTable();
         a.closeTable();
         Para(a, "after");
     },
     "a\nb\nin\nafter\n"},
    {"NotesAfterTheBodyWithTheirNumbers",
     [](RevengeAdapter& a) {
         a.openParagraph({});
         a.insertText("Body");
         a.openFootnote(Props({}, {{"librevenge:number", 3}}));
         Para(a, "Three");
         a.openFootnote({});  // notes hold no notes
         Para(a, "nested");
         a.closeFootnote();
         a.closeFootnote();
         a.insertText(" more");
         a.openEndnote({});
         Para(a, "End");
         a.closeEndnote();
         a.closeParagraph();
     },
     "Body3 more1\n\n3 Three\n1 End\n"},
    {"TextBoxesAfterTheirParagraph",
     [](RevengeAdapter& a) {
         a.openParagraph({});
         a.insertText("Anchor");
         a.openFrame({});
         a.openTextBox({});
         Para(a, "In the box");
         a.closeTextBox();
         a.closeFrame();
         a.insertText(" text");
         a.closeParagraph();
     },
     "Anchor text\nIn the box\n"},
    {"OrderedListsCountPerLevelAndRestartBelow",
     [](RevengeAdapter& a) {
         a.openOrderedListLevel(Props({{"style:num-format", "1"}, {"style:num-suffix", "."}},
                                      {{"librevenge:list-id", 1}, {"librevenge:level", 1}}));
         for (const char* item : {"one", "two"}) {
             a.openListElement({});
             a.insertText(item);
             a.closeListElement();
             a.openOrderedListLevel(Props(
                 {{"style:num-format", "a"}, {"style:num-prefix", "("}, {"style:num-suffix", ")"}},
                 {{"librevenge:list-id", 1}, {"librevenge:level", 2}}));
             for (const char* sub : {"x", "y"}) {
                 a.openListElement({});
                 a.insertText(sub);
                 a.closeListElement();
             }
             a.closeOrderedListLevel();
         }
         a.openOrderedListLevel(Props(
             {{"style:num-format", "I"}, {"style:num-suffix", ")"}},
             {{"librevenge:list-id", 1}, {"librevenge:level", 2}, {"text:display-levels", 2}}));
         a.openListElement(Props({}, {{"text:start-value", 4}}));
         a.insertText("four");
         a.closeListElement();
         a.closeOrderedListLevel();
         a.closeOrderedListLevel();
         Para(a, "plain");
     },
     "1.\tone\n(a)\tx\n(b)\ty\n2.\ttwo\n(a)\tx\n(b)\ty\n2.IV)\tfour\nplain\n"},
    {"BulletsWithTheirCharacterOrADefault",
     [](RevengeAdapter& a) {
         a.openUnorderedListLevel(Props({{"text:bullet-char", "-"}}));
         a.openListElement({});
         a.insertText("dash");
         a.closeListElement();
         a.openUnorderedListLevel(Props({}, {{"librevenge:level", 2}}));
         a.openListElement({});
         a.insertText("dot");
         a.closeListElement();
         a.closeUnorderedListLevel();
         a.closeUnorderedListLevel();
     },
     "-\tdash\n\xE2\x80\xA2\tdot\n"},
    {"ClosesWithoutOpensAndWhatIsLeftOpen",
     [](RevengeAdapter& a) {
         a.closeParagraph();
         a.closeTable();
         a.closeFootnote();
         a.closeTextBox();
         a.closeHeader();
         a.closeOrderedListLevel();
         a.insertText("loose text");
         a.openTable({});
         a.openTableRow({});
         a.openTableCell({});
         a.insertText("open cell");
     },
     "loose text\nopen cell\n"},
};

INSTANTIATE_TEST_SUITE_P(Adapter, Events, ::testing::ValuesIn(kCases),
                         [](const auto& tested) { return std::string(tested.param.name); });

// A sink that fails (a full disk, say) must not throw through the library: the failure waits
// for Finish, and nothing more reaches the sink.
class FailingSink : public DocumentSink {
public:
    void Text(std::string_view utf8) override {
        ++texts;
        throw std::runtime_error(std::string(utf8));
    }
    void StartParagraph() override { ++paragraphs; }
    void EndParagraph() override {}
    void ListLabel(std::string_view, std::string_view) override {}
    void Tab() override {}
    void Break(BreakKind) override {}
    void StartTable() override {}
    void EndTable() override {}
    void StartRow() override {}
    void EndRow() override {}
    void StartCell() override {}
    void EndCell() override {}
    void NoteReference(std::string_view) override {}
    void StartNote(NoteKind, std::string_view) override {}
    void EndNote() override {}
    void StartFloatingText() override {}
    void EndFloatingText() override {}
    void EndDocument() override {}

    int texts = 0;
    int paragraphs = 0;
};

TEST(RevengeAdapter, HeadersFootersAndCommentsWhenAsked) {
    PlainTextWriter writer("\n");
    writer.WantMarginTexts({true, true, true});
    RevengeAdapter adapter(writer);
    adapter.openHeader({});
    Para(adapter, "header");
    adapter.openTable({});  // left open: the header's close ends it
    adapter.closeHeader();
    adapter.openParagraph({});
    adapter.insertText("shown");
    adapter.openComment(Props({{"dc:creator", "Ann"}}));
    Para(adapter, "comment");
    adapter.closeComment();
    adapter.closeParagraph();
    adapter.openFooter({});
    Para(adapter, "footer");
    adapter.closeFooter();
    adapter.Finish();
    writer.EndDocument();
    EXPECT_EQ(writer.TakeText(), "header\n\nshown\n\nfooter\n\nAnn: comment\n");
}

TEST(RevengeAdapter, SinkFailureIsRaisedByFinish) {
    FailingSink sink;
    RevengeAdapter adapter(sink);
    EXPECT_NO_THROW({
        Para(adapter, "first");
        Para(adapter, "second");
    });
    EXPECT_THROW(adapter.Finish(), std::runtime_error);
    EXPECT_EQ(sink.texts, 1);
    EXPECT_EQ(sink.paragraphs, 1);
}

}  // namespace
}  // namespace corvanel::convert::revenge
