// Structure events of Word 97-2003 documents with known structure: one written by LibreOffice
// from our own content (tests/data/msword/structure.doc, make-structure-doc.sh) and documents
// written by Word from the shared corpus.
#include "StructureOrder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace corvanel::convert {
namespace {

struct Case {
    const char* name;
    std::string path;
    // Lines of the structure log that must come in this order (others may come between).
    std::vector<std::string> inOrder;
};

std::string Poi(const char* name) {
    return std::string(CORVANEL_CORPUS_DIR) + "/documents/poi/" + name;
}

const std::string kStructure = std::string(CORVANEL_TEST_DATA_DIR) + "/msword/structure.doc";

class WordStructure : public ::testing::TestWithParam<Case> {};

TEST_P(WordStructure, ReportsWhatTheDocumentStates) {
    testing::ExpectStructureInOrder(GetParam().path, GetParam().inOrder);
}

TEST_P(WordStructure, SendsTheSameTextWithoutStructure) {
    testing::ExpectSameTextWithoutStructure(GetParam().path);
}

INSTANTIATE_TEST_SUITE_P(
    Documents, WordStructure,
    ::testing::Values(
        // clang-format off
        Case{"LibreOffice", kStructure,
             {"H1", "T Chapter One", "H2", "T Section A", "STYLE b", "T bold", "STYLE i",
              "T italic", "STYLE s", "T struck", "LI0#", "LABEL 1.", "T First item", "LI1*",
              "T Nested bullet", "LINK https://example.org/", "T the site", "/LINK", "T H1",
              "SPAN 2x1", "T Wide", "SPAN 1x2", "T Tall", "T C1", "T C2", "COVERED", "T Anchor",
              "FLOAT", "T Art Words", "/FLOAT", "T The end."}},
        Case{"WordLists", Poi("Lists.doc"),
             {"H1", "T Heading Level 1", "LI0*", "LABEL \xE2\x80\xA2", "T Unordered list 1",
              "LI0#", "LABEL 1.", "T Ordered list 1", "LI1*", "T ML 2:1", "LI2*", "T ML 3:1",
              "LI4*", "T ML 5:1", "LI3#", "LABEL 2.2.2.1.", "T OL 2.2.2.1"}},
        Case{"WordHeaderRow", Poi("59322.doc"),
             {"TABLE", "ROW", "HEADER-ROW", "T ID", "/ROW", "ROW", "T 1", "/TABLE"}},
        Case{"WordStylesAndPictures", Poi("FloatingPictures.doc"),
             {"H2", "STYLE bi", "T Heading 2", "H3", "STYLE b", "T Heading 3", "STYLE b",
              "T Normal + Courier New, 12pt, Bold", "STYLE i",
              "T Normal + Courier New, 12pt, Italic", "PICTURE |"}},
        Case{"Word95Emphasis", Poi("Word95.doc"),
             {"T Paragraph 3. Has some RED text and some ", "STYLE b", "T BLUE BOLD", "STYLE -",
              "T  text in it."}},
        Case{"WordHyperlink", Poi("hyperlink.doc"),
             {"T Before text; ", "LINK http://testuri.org/", "T Hyperlink text", "/LINK"}},
        Case{"WordPictureDescription", Poi("Picture_Alternative_Text.doc"),
             {"PICTURE This is the alternative text for the picture.|Picture 1"}},
        Case{"WordLinkedPictures", std::string(CORVANEL_TEST_DATA_DIR) + "/msword/linked-picture.doc",
             {"T Go ", "LINK https://example.org/apply", "PICTURE |", "/LINK", "T  now.", "/P",
              "P", "LINK https://example.org/details", "PICTURE |", "/LINK", "/P"}},
        Case{"WordMergedCells", Poi("table-merges.doc"),
             {"SPAN 3x1", "STYLE b", "T A", "SPAN 2x1", "T B", "/ROW", "T C", "T D", "SPAN 2x1",
              "T E", "T F", "/ROW", "SPAN 5x1", "T K", "/TABLE"}}),
    // clang-format on
    [](const ::testing::TestParamInfo<Case>& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace corvanel::convert
