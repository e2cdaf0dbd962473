// Word 6 and Word 95 documents, built here byte by byte: LibreOffice no longer writes them.
// The smallest such document is a FIB, then the text as bytes in the document's code page.
#include "convert/Converter.h"
#include "convert/plaintext/PlainTextWriter.h"

#include "TestCompoundFile.h"
#include "TestFacts.h"

#include <gtest/gtest.h>

#include <vector>

namespace corvanel::convert {
namespace {

using testing::PutU16;
using testing::PutU32;

constexpr std::size_t kTextAt = 0x300;
constexpr std::size_t kSectionTablePair = 0x88;

struct Word6Options {
    std::uint16_t lid = 0x0409;
    std::uint16_t flags = 0;
    std::uint16_t nFib = 101;
    std::uint16_t ident = 0xA5DC;
    std::uint32_t ccpText = 0;               // 0: the text's length
    std::vector<std::uint32_t> sectionEnds;  // character positions where sections end
    std::string paragraphModifiers;          // given to every paragraph, if any
    std::vector<std::string> modifiersEach;  // or to each paragraph its own
    std::vector<std::uint32_t> deleted;      // character positions shown as deleted
    std::string summaryInformation;          // the stream, when not empty
};

constexpr std::size_t kPageBytes = 512;
constexpr std::size_t kCharacterBinTablePair = 0xB8;
constexpr std::size_t kParagraphBinTablePair = 0xC0;

// A paragraph formatting page giving the paragraphs of `text` (ended by paragraph or cell marks)
// their modifiers: one for all, or one each.
std::string ParagraphPage(const std::string& text, const std::vector<std::string>& modifiers) {
    std::vector<std::uint32_t> ends{static_cast<std::uint32_t>(kTextAt)};
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\x07') {
            ends.push_back(static_cast<std::uint32_t>(kTextAt + i + 1));
        }
    }
    const std::size_t runs = ends.size() - 1;
    std::string page(kPageBytes, '\0');
    for (std::size_t i = 0; i < ends.size(); ++i) {
        PutU32(page, 4 * i, ends[i]);
    }
    std::size_t at = 0x100;
    for (std::size_t i = 0; i < runs; ++i) {
        const std::string& own = modifiers[std::min(i, modifiers.size() - 1)];
        page[4 * ends.size() + 7 * i] = static_cast<char>(at / 2);
        const std::size_t words = (2 + own.size() + 1) / 2;  // style index and modifiers
        page[at] = static_cast<char>(words);
        page.replace(at + 3, own.size(), own);
        at += 2 + 2 * words;
    }
    page[kPageBytes - 1] = static_cast<char>(runs);
    return page;
}

// A character formatting page: the characters at `deleted` are deleted, the others plain.
std::string CharacterPage(const std::string& text, const std::vector<std::uint32_t>& deleted) {
    std::string page(kPageBytes, '\0');
    const std::size_t runs = text.size();  // one a character
    constexpr std::size_t kDeletedAt = 0x1F0;
    page.replace(kDeletedAt, 3, "\x02\x41\x01");  // two bytes: the deleted-text modifier, on
    for (std::size_t i = 0; i <= runs; ++i) {
        PutU32(page, 4 * i, static_cast<std::uint32_t>(kTextAt + i));
    }
    for (const std::uint32_t cp : deleted) {
        page[4 * (runs + 1) + cp] = static_cast<char>(kDeletedAt / 2);
    }
    page[kPageBytes - 1] = static_cast<char>(runs);
    return page;
}

// Puts a formatting page at the end of the stream and its one-page bin table after it.
void AddFormattingPage(std::string& stream, const std::string& page, std::size_t textSize,
                       std::size_t pair) {
    stream.resize((stream.size() / kPageBytes + 1) * kPageBytes, '\0');
    const std::size_t number = stream.size() / kPageBytes;
    stream += page;
    std::string bins(10, '\0');  // first and last position, then the page number
    PutU32(bins, 0, static_cast<std::uint32_t>(kTextAt));
    PutU32(bins, 4, static_cast<std::uint32_t>(kTextAt + textSize));
    PutU16(bins, 8, static_cast<std::uint16_t>(number));
    PutU32(stream, pair, static_cast<std::uint32_t>(stream.size()));
    PutU32(stream, pair + 4, static_cast<std::uint32_t>(bins.size()));
    stream += bins;
}

std::string Word6Document(const std::string& text, const Word6Options& options = {}) {
    std::string stream(kTextAt, '\0');
    PutU16(stream, 0x00, options.ident);
    PutU16(stream, 0x02, options.nFib);
    PutU16(stream, 0x06, options.lid);
    PutU16(stream, 0x0A, options.flags);
    PutU32(stream, 0x18, kTextAt);  // fcMin
    PutU32(stream, 0x1C, static_cast<std::uint32_t>(kTextAt + text.size()));
    PutU32(stream, 0x34,
           options.ccpText != 0 ? options.ccpText : static_cast<std::uint32_t>(text.size()));
    stream += text;
    if (!options.paragraphModifiers.empty() || !options.modifiersEach.empty()) {
        const std::vector<std::string> modifiers = options.modifiersEach.empty()
                                                       ? std::vector{options.paragraphModifiers}
                                                       : options.modifiersEach;
        AddFormattingPage(stream, ParagraphPage(text, modifiers), text.size(),
                          kParagraphBinTablePair);
    }
    if (!options.deleted.empty()) {
        AddFormattingPage(stream, CharacterPage(text, options.deleted), text.size(),
                          kCharacterBinTablePair);
    }
    if (!options.sectionEnds.empty()) {
        // The section table: the positions (starting with 0), then a 12-byte record each.
        const std::size_t at = stream.size();
        std::string plc(4 * (options.sectionEnds.size() + 1) + 12 * options.sectionEnds.size(),
                        '\0');
        for (std::size_t i = 0; i < options.sectionEnds.size(); ++i) {
            PutU32(plc, 4 * (i + 1), options.sectionEnds[i]);
        }
        stream += plc;
        PutU32(stream, kSectionTablePair, static_cast<std::uint32_t>(at));
        PutU32(stream, kSectionTablePair + 4, static_cast<std::uint32_t>(plc.size()));
    }
    if (!options.summaryInformation.empty()) {
        return testing::MakeCompoundFile(
            {{"WordDocument", stream}, {"\x05SummaryInformation", options.summaryInformation}});
    }
    return testing::MakeCompoundFile({{"WordDocument", stream}});
}

ConversionResult Convert(const std::string& bytes, std::string& text) {
    PlainTextWriter writer("\n");
    const ConversionResult result = ReadDocumentBytes("word6.doc", bytes, writer);
    text = writer.Text();
    return result;
}

std::string TextOf(const std::string& bytes) {
    std::string text;
    const ConversionResult result = Convert(bytes, text);
    EXPECT_TRUE(result.Ok()) << result.description;
    return text;
}

// Typed property values as a property set stores them.
std::string Typed(std::uint16_t type, const std::string& value) {
    std::string bytes(4, '\0');
    PutU16(bytes, 0, type);
    bytes += value;
    bytes.resize((bytes.size() + 3) / 4 * 4, '\0');
    return bytes;
}
std::string Number(std::uint32_t value) {
    std::string bytes(4, '\0');
    PutU32(bytes, 0, value);
    return bytes;
}
std::string String8(const std::string& bytes) {
    return Typed(0x1E, Number(static_cast<std::uint32_t>(bytes.size() + 1)) + bytes + '\0');
}
std::string FileTime(std::uint64_t time) {
    return Typed(0x40, Number(static_cast<std::uint32_t>(time)) +
                           Number(static_cast<std::uint32_t>(time >> 32)));
}

// A summary information stream: its header, then one set of (id, typed value) properties.
std::string SummaryStream(const std::vector<std::pair<std::uint32_t, std::string>>& properties) {
    std::string set(8 + 8 * properties.size(), '\0');
    PutU32(set, 4, static_cast<std::uint32_t>(properties.size()));
    for (std::size_t i = 0; i < properties.size(); ++i) {
        PutU32(set, 8 + 8 * i, properties[i].first);
        PutU32(set, 12 + 8 * i, static_cast<std::uint32_t>(set.size()));
        set += properties[i].second;
    }
    PutU32(set, 0, static_cast<std::uint32_t>(set.size()));
    std::string stream(48, '\0');
    PutU16(stream, 0, 0xFFFE);
    PutU32(stream, 24, 1);
    stream.replace(28, 16, "\xE0\x85\x9F\xF2\xF9\x4F\x68\x10\xAB\x91\x08\x00\x2B\x27\xB3\xD9", 16);
    PutU32(stream, 44, 48);
    return stream + set;
}

TEST(Word6Document, FormatAndTheSummaryInformationItStates) {
    using testing::Properties;
    const std::string codePage1251 = Typed(2, Number(1251));
    const std::string lateTitle = [&] {
        std::string stream = SummaryStream({{4, String8("Ann")}, {2, String8("lost")}});
        PutU32(stream, 48 + 8 + 8 + 4, 0xFFFFFF00);  // the title's value lies past the set
        return stream;
    }();
    struct Case {
        const char* name;
        std::string stream;
        Properties expected;
    };
    const std::vector<Case> cases = {
        {"every property, in the set's code page",
         SummaryStream({{1, codePage1251},
                        {2, String8("\xCE\xF2\xF7\xB8\xF2")},
                        {4, String8("  Ivan ")},
                        {12, FileTime(129666935400000000)},
                        {13, FileTime(125911583999999999)},
                        {14, Typed(3, Number(2))},
                        {15, Typed(3, Number(812))}}),
         {{DocumentProperty::kTitle, "\xD0\x9E\xD1\x82\xD1\x87\xD1\x91\xD1\x82"},
          {DocumentProperty::kAuthor, "Ivan"},
          {DocumentProperty::kCreated, "2011-11-25T11:19:00Z"},
          {DocumentProperty::kModified, "1999-12-31T23:59:59Z"},
          {DocumentProperty::kPages, "2"},
          {DocumentProperty::kWords, "812"}}},
        {"unset and negative values are left out",
         SummaryStream({{12, FileTime(0)}, {14, Typed(3, Number(0xFFFFFFFF))}, {4, String8("")}}),
         {}},
        {"UTF-16 strings of a Unicode set",
         SummaryStream(
             {{1, Typed(2, Number(1200))},
              {4,
               Typed(0x1E, Number(10) + std::string("\x12\x04\x35\x04\x40\x04\x30\x04\0\0", 10))}}),
         {{DocumentProperty::kAuthor, "\xD0\x92\xD0\xB5\xD1\x80\xD0\xB0"}}},
        {"a damaged value loses only itself", lateTitle, {{DocumentProperty::kAuthor, "Ann"}}},
        {"a set that is not one states nothing", std::string(40, '\x7F'), {}},
        {"a set cut short states nothing",
         SummaryStream({{2, String8("Title")}}).substr(0, 60),
         {}},
    };
    for (const Case& c : cases) {
        Word6Options options;
        options.summaryInformation = c.stream;
        const DocumentFacts facts = testing::FactsOf("word6.doc", Word6Document("Text\r", options));
        EXPECT_EQ(facts.format, "word6") << c.name;
        EXPECT_EQ(facts.properties, c.expected) << c.name;
    }
}

TEST(Word6Document, DecodesTextInTheCodePageOfTheDocumentLanguage) {
    EXPECT_EQ(TextOf(Word6Document("caf\xE9 na\xEFve\r")), "café naïve\n");
    Word6Options russian;
    russian.lid = 0x0419;
    EXPECT_EQ(TextOf(Word6Document("\xCF\xF0\xE8\xE2\xE5\xF2\r", russian)), "Привет\n");
    Word6Options greek;
    greek.lid = 0x0408;
    EXPECT_EQ(TextOf(Word6Document("\xC1\xE8\xE7\xED\xE1\r", greek)), "Αθηνα\n");
    Word6Options czech;
    czech.lid = 0x0405;
    EXPECT_EQ(TextOf(Word6Document("\x8A\x9E\xE8\r", czech)), "Šžč\n");
}

TEST(Word6Document, Word95EditionWithAnotherMagicNumberIsRead) {
    Word6Options word95;
    word95.nFib = 104;
    word95.ident = 0xA699;
    EXPECT_EQ(TextOf(Word6Document("Word 95\r", word95)), "Word 95\n");
}

TEST(Word6Document, ParagraphsBreaksTabsAndHyphens) {
    EXPECT_EQ(TextOf(Word6Document("One\rTwo\x0BThree\tfour\x1E"
                                   "five\x1Fsix\r\rEnd\x0C"
                                   "after\r")),
              "One\nTwo\nThree\tfour-fivesix\n\nEnd\nafter\n");
}

TEST(Word6Document, SectionBreakEndsAParagraphWhereAPageBreakDoesNot) {
    const std::string text =
        "One\r\x0CTwo\x0C"
        "Three\r";
    EXPECT_EQ(TextOf(Word6Document(text)), "One\n\nTwo\nThree\n");  // page breaks
    Word6Options sections;
    sections.sectionEnds = {5, 9, static_cast<std::uint32_t>(text.size())};
    // A section break on a line of its own adds nothing; at the end of text it ends the paragraph.
    EXPECT_EQ(TextOf(Word6Document(text, sections)), "One\nTwo\nThree\n");
}

// Word 6's own paragraph numbering: level 10 is a numbered list; the description gives the
// format (here 4, lower-case letters), the start (3) and the text after the number (")").
TEST(Word6Document, NumberedParagraphsGetTheirLabels) {
    std::string description(52, '\0');
    description[0] = 4;
    description[1] = 0;  // no text before the number
    description[2] = 1;  // text up to here follows it
    description[10] = 3;
    description[20] = ')';
    Word6Options numbered;
    numbered.paragraphModifiers = std::string("\x0D\x0A", 2) + "\x0C" + "\x34" + description;
    EXPECT_EQ(TextOf(Word6Document("One\rTwo\rThree\r", numbered)),
              "c)\tOne\nd)\tTwo\ne)\tThree\n");
}

TEST(Word6Document, ADeletedParagraphMarkJoinsTheNextParagraph) {
    std::string description(52, '\0');  // numbered 1, 2, 3 with "." after the number
    description[2] = 1;
    description[10] = 1;
    description[20] = '.';
    const std::string numbered = std::string("\x0D\x0A", 2) + "\x0C" + "\x34" + description;
    const std::string inTable = "\x18\x01";
    const std::string rowEnd = inTable + "\x19\x01";
    struct Case {
        const char* name;
        std::string text;
        std::vector<std::string> modifiers;
        std::vector<std::uint32_t> deleted;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"a list item keeps its own label",
         "one \rmore\rtwo\r",
         {numbered, "", numbered},
         {4},
         "1.\tone more\n2.\ttwo\n"},
        {"a wholly deleted paragraph gives no label",
         "one\rgone\rtwo\r",
         {"", numbered, ""},
         {4, 5, 6, 7, 8},
         "one\ntwo\n"},
        {"a table ends the paragraph",
         "last\rcell\x07\x07",
         {"", inTable, rowEnd},
         {4},
         "last\ncell\n"},
    };
    for (const Case& c : cases) {
        Word6Options options;
        options.modifiersEach = c.modifiers;
        options.deleted = c.deleted;
        EXPECT_EQ(TextOf(Word6Document(c.text, options)), c.expected) << c.name;
    }
}

TEST(Word6Document, FieldsShowOnlyTheirResult) {
    EXPECT_EQ(TextOf(Word6Document("Page \x13 PAGE \x14"
                                   "5\x15 of \x13 NUMPAGES \x15.\r")),
              "Page 5 of .\n");
    // A field nested in another's code is code too; one nested in a result shows its result.
    EXPECT_EQ(TextOf(Word6Document("\x13 IF \x13 A \x14x\x15 \x14[\x13 B \x14y\x15]\x15\r")),
              "[y]\n");
}

TEST(Word6Document, EqFieldsAreDrawnFromTheirCode) {
    // A phonetic guide in a Japanese document's Shift-JIS shows its base; a stored result
    // wins; an EQ field in another field's code stays code.
    Word6Options japanese;
    japanese.lid = 0x0411;
    EXPECT_EQ(TextOf(Word6Document("a\x13 EQ \\o\\ad(\\s\\up 9(\x82\xa9\x82\xf1),\x8a\xbf\x8e\x9a)"
                                   "\x15"
                                   "b\x13 EQ \\f(1,2)\x14y\x15\x13 IF \x13 EQ x\x15\x15\r",
                                   japanese)),
              "a漢字by\n");
}

TEST(Word6Document, LastParagraphWithoutMarkStillCounts) {
    EXPECT_EQ(TextOf(Word6Document("No mark at the end")), "No mark at the end\n");
}

TEST(Word6Document, FailsClearlyOnWhatItCannotRead) {
    std::string text;
    Word6Options encrypted;
    encrypted.flags = 0x0100;
    EXPECT_EQ(Convert(Word6Document("secret\r", encrypted), text).code,
              ErrorCode::kPasswordProtected);

    Word6Options word2;
    word2.nFib = 45;
    word2.ident = 0xA5DB;
    const ConversionResult old = Convert(Word6Document("old\r", word2), text);
    EXPECT_EQ(old.code, ErrorCode::kNotReadable);
    EXPECT_NE(old.description.find("old Word format"), std::string::npos) << old.description;

    Word6Options tooLong;
    tooLong.ccpText = 0x00FFFFFF;
    const ConversionResult past = Convert(Word6Document("short\r", tooLong), text);
    EXPECT_EQ(past.code, ErrorCode::kDamaged) << past.description;
}

TEST(OldWordDocument, Word2FileIsNotReadableWithAClearReason) {
    // Word for Windows 2 wrote no compound file: its own header, then binary data.
    std::string bytes("\xDB\xA5\x2D\x00", 4);
    bytes.append(1024, '\0');
    std::string text;
    const ConversionResult result = Convert(bytes, text);
    EXPECT_EQ(result.code, ErrorCode::kNotReadable);
    EXPECT_NE(result.description.find("old Word format"), std::string::npos) << result.description;
}

}  // namespace
}  // namespace corvanel::convert
