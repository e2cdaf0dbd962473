// Footnotes and endnotes: marks in the text, the notes after the body.

#include "DocxBuilder.h"

#include <gtest/gtest.h>

namespace corvanel::convert::testing {
namespace {

std::string Note(const std::string& kind, int id, const std::string& text) {
    return "<w:" + kind + " w:id=\"" + std::to_string(id) + "\"><w:p><w:r><w:" + kind +
           "Ref/></w:r>" + TextRun(" " + text) + "</w:p></w:" + kind + ">";
}

const std::string kSeparators =
    "<w:footnote w:type=\"separator\" w:id=\"-1\"><w:p><w:r><w:separator/></w:r></w:p>"
    "</w:footnote><w:footnote w:type=\"continuationSeparator\" w:id=\"0\"><w:p><w:r>"
    "<w:t>continued</w:t></w:r></w:p></w:footnote>";

std::string Reference(const std::string& kind, int id) {
    return "<w:r><w:rPr><w:rStyle w:val=\"FootnoteReference\"/></w:rPr><w:" + kind +
           "Reference w:id=\"" + std::to_string(id) + "\"/></w:r>";
}

TEST(OoxmlNotes, MarksAreRunningNumbersAndNotesFollowTheBody) {
    DocxBuilder docx;
    docx.footnotes =
        kSeparators + Note("footnote", 2, "Second note.") + Note("footnote", 1, "First note.");
    docx.endnotes = Note("endnote", 1, "An endnote.");
    docx.body = "<w:p>" + TextRun("Text") + Reference("footnote", 1) + TextRun(" more") +
                Reference("endnote", 1) + Reference("footnote", 2) + "</w:p>" + Para("End");
    EXPECT_EQ(TextOf(docx), "Text1 morei2\nEnd\n\n1 First note.\n2 Second note.\ni An endnote.\n");
}

TEST(OoxmlNotes, MarkFormatsComeFromTheSettingsAndTheSection) {
    DocxBuilder docx;
    docx.footnotes = Note("footnote", 1, "a") + Note("footnote", 2, "b");
    docx.endnotes = Note("endnote", 1, "c");
    docx.settings =
        "<w:footnotePr><w:numFmt w:val=\"lowerLetter\"/><w:numStart w:val=\"3\"/></w:footnotePr>";
    docx.body = "<w:p>" + Reference("footnote", 1) + Reference("footnote", 2) +
                Reference("endnote", 1) +
                "</w:p><w:sectPr><w:endnotePr><w:numFmt "
                "w:val=\"decimal\"/></w:endnotePr></w:sectPr>";
    EXPECT_EQ(TextOf(docx), "cd1\n\nc a\nd b\n1 c\n");
}

TEST(OoxmlNotes, CustomMarksAreTakenFromTheRunAndDoNotCount) {
    DocxBuilder docx;
    docx.footnotes = Note("footnote", 1, "starred") + Note("footnote", 2, "numbered");
    docx.body = "<w:p>" + TextRun("x") +
                "<w:r><w:footnoteReference w:customMarkFollows=\"1\" w:id=\"1\"/><w:t>*</w:t>"
                "</w:r>" +
                Reference("footnote", 2) + "</w:p>";
    EXPECT_EQ(TextOf(docx), "x*1\n\n* starred\n1 numbered\n");
}

TEST(OoxmlNotes, MissingNotesAndNotesWithinNotesAreHarmless) {
    DocxBuilder docx;
    // A note that refers to itself must not loop.
    docx.footnotes = "<w:footnote w:id=\"1\"><w:p>" + TextRun("self") + Reference("footnote", 1) +
                     "</w:p></w:footnote>";
    docx.body = "<w:p>" + Reference("footnote", 7) + Reference("footnote", 1) + "</w:p>";
    EXPECT_EQ(TextOf(docx), "12\n\n2 self\n");
}

TEST(OoxmlNotes, ANoteReferredToAgainIsWrittenOnce) {
    DocxBuilder docx;
    docx.footnotes = Note("footnote", 1, "only once");
    std::string references;
    for (int i = 0; i < 3; ++i) {
        references += Reference("footnote", 1);
    }
    docx.body = "<w:p>" + references + "</w:p>";
    EXPECT_EQ(TextOf(docx), "123\n\n1 only once\n");
}

TEST(OoxmlNotes, HiddenReferencesAreLeftOut) {
    DocxBuilder docx;
    docx.footnotes = Note("footnote", 1, "hidden") + Note("footnote", 2, "shown");
    docx.body = "<w:p><w:r><w:rPr><w:vanish/></w:rPr><w:footnoteReference w:id=\"1\"/></w:r>" +
                Reference("footnote", 2) + "</w:p>";
    EXPECT_EQ(TextOf(docx), "1\n\n1 shown\n");
}

}  // namespace
}  // namespace corvanel::convert::testing
