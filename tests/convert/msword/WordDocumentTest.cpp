// The binary Word reader on a document made by this project (tests/data/msword/features.doc,
// written by make-test-docs.sh): every text rule the document exercises, checked exactly.
#include "convert/Converter.h"
#include "convert/plaintext/PlainTextWriter.h"

#include "TestCompoundFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string_view>
#include <vector>

namespace corvanel::convert {
namespace {

const std::string kFeatures = std::string(CORVANEL_TEST_DATA_DIR) + "/msword/features.doc";

std::string ConvertFeatures() {
    std::string text;
    const ConversionResult result = ExtractText(kFeatures, text, ConvertOptions{"\n"});
    EXPECT_TRUE(result.Ok()) << result.description;
    return text;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

class FeaturesDocument : public ::testing::Test {
protected:
    static void SetUpTestSuite() { text_ = new std::string(ConvertFeatures()); }
    static void TearDownTestSuite() {
        delete text_;
        text_ = nullptr;
    }
    static const std::string& Text() { return *text_; }
    static std::vector<std::string> TextLines() { return Lines(*text_); }

private:
    static std::string* text_;
};

std::string* FeaturesDocument::text_ = nullptr;

TEST_F(FeaturesDocument, ReadsTheWholeDocumentInReadingOrder) {
    EXPECT_EQ(Text(),
              "Corvanel binary Word test\n"
              "Accents: café, naïve, Straße. Cyrillic: Привет. Greek: Ελληνικά.\n"
              "Tab\tbetween, line\nbreak, soft hyphen, non-breaking hyphen, no\u00A0break space.\n"
              "Kept text after a deletion.\n"
              "Visible text.\n"
              "Link: Example site end, page 1.\n"
              "A footnote here1 and an endnotei.\n"
              "1.\tFirst item\n"
              "2.\tSecond item\n"
              "a)\tSub item one\n"
              "b)\tSub item two\n"
              "3.\tThird item\n"
              "III. Roman three\n"
              "IV. Roman four\n"
              "•\tSymbol bullet\n"
              "A1\tB1\nB1 second\n"
              "A2\tx\ty\nafter inner\n"
              "Anchor paragraph\n"
              "Text in a box\n"
              "Last paragraph before the break.\n"
              "After the page break.\n"
              "\n"
              "1 The footnote text.\n"
              "i The endnote text.\n");
}

TEST_F(FeaturesDocument, KeepsAccentsAndOtherScriptsOfUnicodeText) {
    EXPECT_EQ(TextLines().at(1),
              "Accents: café, naïve, Straße. Cyrillic: Привет. Greek: Ελληνικά.");
}

TEST_F(FeaturesDocument, TabsLineBreaksAndHyphensFollowTheRules) {
    // Soft hyphen dropped, non-breaking hyphen as "-", no-break space kept as U+00A0.
    const std::vector<std::string> lines = TextLines();
    EXPECT_EQ(lines.at(2), "Tab\tbetween, line");
    EXPECT_EQ(lines.at(3), "break, soft hyphen, non-breaking hyphen, no\u00A0break space.");
}

TEST_F(FeaturesDocument, LeavesOutHiddenTextAndDeletedRevisions) {
    EXPECT_EQ(TextLines().at(4), "Kept text after a deletion.");
    EXPECT_EQ(TextLines().at(5), "Visible text.");
    EXPECT_EQ(Text().find("hidden"), std::string::npos);
    EXPECT_EQ(Text().find("deleted words"), std::string::npos);
}

TEST_F(FeaturesDocument, FieldsGiveTheirResultNeverTheirCode) {
    EXPECT_EQ(TextLines().at(6), "Link: Example site end, page 1.");
    EXPECT_EQ(Text().find("HYPERLINK"), std::string::npos);
    EXPECT_EQ(Text().find("PAGE"), std::string::npos);
}

TEST_F(FeaturesDocument, NotesAreNumberedInTheTextAndFollowTheBody) {
    const std::vector<std::string> lines = TextLines();
    EXPECT_EQ(lines.at(7), "A footnote here1 and an endnotei.");
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[lines.size() - 3], "");
    EXPECT_EQ(lines[lines.size() - 2], "1 The footnote text.");
    EXPECT_EQ(lines[lines.size() - 1], "i The endnote text.");
}

TEST_F(FeaturesDocument, ListLabelsComeFromTheListDefinitions) {
    const std::vector<std::string> lines = TextLines();
    EXPECT_EQ(lines.at(8), "1.\tFirst item");
    EXPECT_EQ(lines.at(10), "a)\tSub item one");  // a deeper level restarts and has its own format
    EXPECT_EQ(lines.at(12), "3.\tThird item");    // the outer count goes on after it
    EXPECT_EQ(lines.at(13), "III. Roman three");  // start value 3, space after the label
    EXPECT_EQ(lines.at(15), "•\tSymbol bullet");  // a Symbol-font bullet becomes "•"
}

TEST_F(FeaturesDocument, TablesGiveOneLinePerRowAndNestedTablesInPlace) {
    const std::string& text = Text();
    EXPECT_NE(text.find("\nA1\tB1\nB1 second\nA2\tx\ty\nafter inner\n"), std::string::npos);
}

TEST_F(FeaturesDocument, TextBoxFollowsItsAnchorParagraphOnce) {
    const std::string& text = Text();
    EXPECT_NE(text.find("\nAnchor paragraph\nText in a box\nLast paragraph"), std::string::npos);
    EXPECT_EQ(text.find("Text in a box"), text.rfind("Text in a box"));
}

// Records the events, to check the structure the writer is given.
class RecordingSink final : public DocumentSink {
public:
    std::vector<std::string> events;

    void StartParagraph() override { events.push_back("P"); }
    void EndParagraph() override { events.push_back("/P"); }
    void ListLabel(std::string_view label, std::string_view) override {
        events.push_back("L:" + std::string(label));
    }
    void Text(std::string_view utf8) override { events.push_back("T:" + std::string(utf8)); }
    void Tab() override { events.push_back("Tab"); }
    void Break(BreakKind kind) override {
        events.push_back(kind == BreakKind::kLine   ? "BrL"
                         : kind == BreakKind::kPage ? "BrP"
                                                    : "BrC");
    }
    void StartTable() override { events.push_back("Table"); }
    void EndTable() override { events.push_back("/Table"); }
    void StartRow() override { events.push_back("Row"); }
    void EndRow() override { events.push_back("/Row"); }
    void StartCell() override { events.push_back("Cell"); }
    void EndCell() override { events.push_back("/Cell"); }
    void NoteReference(std::string_view mark) override {
        events.push_back("Ref:" + std::string(mark));
    }
    void StartNote(NoteKind kind, std::string_view mark) override {
        events.push_back((kind == NoteKind::kFootnote ? "Foot:" : "End:") + std::string(mark));
    }
    void EndNote() override { events.push_back("/Note"); }
    void StartFloatingText() override { events.push_back("Float"); }
    void EndFloatingText() override { events.push_back("/Float"); }
    void EndDocument() override { events.push_back("End"); }

    std::string Joined(std::size_t from, std::size_t count) const {
        std::string s;
        for (std::size_t i = from; i < from + count && i < events.size(); ++i) {
            s += events[i] + " ";
        }
        return s;
    }
    std::size_t Find(const std::string& event) const {
        for (std::size_t i = 0; i < events.size(); ++i) {
            if (events[i] == event) {
                return i;
            }
        }
        return events.size();
    }
};

TEST(WordDocumentEvents, NestedTableSitsInsideItsCell) {
    RecordingSink sink;
    const ConversionResult result =
        ReadDocumentBytes("features.doc", testing::ReadTestFile(kFeatures), sink);
    ASSERT_TRUE(result.Ok()) << result.description;
    const std::size_t a2 = sink.Find("T:A2");
    ASSERT_LT(a2, sink.events.size());
    EXPECT_EQ(sink.Joined(a2, 22),
              "T:A2 /P /Cell Cell Table Row Cell P T:x /P /Cell Cell P T:y /P /Cell /Row /Table "
              "P T:after inner /P /Cell ");
}

TEST(WordDocumentEvents, NotesComeRightAfterTheirReferences) {
    RecordingSink sink;
    ASSERT_TRUE(ReadDocumentBytes("features.doc", testing::ReadTestFile(kFeatures), sink).Ok());
    const std::size_t ref = sink.Find("Ref:1");
    ASSERT_LT(ref, sink.events.size());
    EXPECT_EQ(sink.Joined(ref, 7), "Ref:1 Foot:1 P Tab T:The footnote text. /P /Note ");
    const std::size_t endRef = sink.Find("Ref:i");
    ASSERT_LT(endRef, sink.events.size());
    EXPECT_EQ(sink.Joined(endRef, 2), "Ref:i End:i ");
}

TEST(WordDocumentEvents, FileNameDoesNotMatterOnlyContent) {
    PlainTextWriter writer("\n");
    const ConversionResult result =
        ReadDocumentBytes("renamed.txt", testing::ReadTestFile(kFeatures), writer);
    ASSERT_TRUE(result.Ok()) << result.description;
    EXPECT_EQ(writer.Text().rfind("Corvanel binary Word test\n", 0), 0u);
}

TEST(WordDocumentEvents, AnEqFieldWithoutResultIsDrawnFromItsCode) {
    // The PAGE field rewritten in place, unit for unit, into an EQ field without a result; the
    // unit where its separator was keeps the separator's formatting and shows nothing.
    const auto utf16 = [](std::u16string_view units) {
        std::string bytes;
        for (const char16_t unit : units) {
            bytes += static_cast<char>(unit & 0xFF);
            bytes += static_cast<char>(unit >> 8);
        }
        return bytes;
    };
    std::string bytes = testing::ReadTestFile(kFeatures);
    const std::string page = utf16(
        u"\x13 PAGE \x14"
        u"1\x15");
    const std::size_t at = bytes.find(page);
    ASSERT_NE(at, std::string::npos);
    bytes.replace(at, page.size(),
                  utf16(u"\x13"
                        u"EQ \\b( x\x15"));
    PlainTextWriter writer("\n");
    ASSERT_TRUE(ReadDocumentBytes("features.doc", bytes, writer).Ok());
    EXPECT_NE(writer.Text().find("Link: Example site end, page (x).\n"), std::string::npos);
}

// Real documents: a first-page header and footer besides the usual ones, and a comment.
TEST(WordDocumentMargins, HeadersLeadFootersAndCommentsFollowWhenAsked) {
    const std::string poi = std::string(CORVANEL_CORPUS_DIR) + "/documents/poi/";
    if (!std::filesystem::is_directory(poi)) {
        GTEST_SKIP() << "no corpus at " << poi;
    }
    const std::string headers =
        "First header column!\tMid header Right header!\n"
        "I am the header on the first page, and I’m nice and simple\n";
    const std::string footers =
        "Footer Left\tFooter Middle Footer Right\n"
        "The footer of the first page\n";
    const struct {
        std::string file;
        MarginTexts include;
        std::string before, after;  // around the text without them
    } kCases[] = {
        {"DiffFirstPageHeadFoot.doc", {true, true, true}, headers + "\n", "\n" + footers},
        {"DiffFirstPageHeadFoot.doc", {false, true, false}, "", "\n" + footers},
        {"footnote.doc", {true, true, true}, "", "\nMaxim Valyanskiy: TestComment\n"},
    };
    for (const auto& c : kCases) {
        std::string plain, with;
        ASSERT_TRUE(ExtractText(poi + c.file, plain, ConvertOptions{"\n"}).Ok());
        ConvertOptions options{"\n"};
        options.include = c.include;
        ASSERT_TRUE(ExtractText(poi + c.file, with, options).Ok());
        EXPECT_EQ(with, c.before + plain + c.after) << c.file;
    }
}

}  // namespace
}  // namespace corvanel::convert
