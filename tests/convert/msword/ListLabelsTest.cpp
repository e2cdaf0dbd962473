// Binary Word list labels from a list table built here: counting across levels and each level's
// own restart rule.
#include "convert/msword/Fib.h"
#include "convert/msword/Fonts.h"
#include "convert/msword/ListLabels.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace corvanel::convert::msword {
namespace {

struct LevelSpec {
    std::uint8_t nfc;       // Word's number format code
    std::u16string text;    // characters 0..8 stand for the levels' numbers
    int restartLimit = -1;  // >= 0: fNoRestart with this ilvlRestartLim
};

void Put(std::string& out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

// One list (lsid 7) of nine levels, levels past `specs` plain decimal, and one override of it.
std::pair<Fib, std::string> ListTable(const std::vector<LevelSpec>& specs) {
    std::string table;
    Put(table, 1, 2);
    Put(table, 7, 4);
    table.append(24, '\0');  // tplc, rgistdPara, flags (not simple), grfhic
    for (std::size_t k = 0; k < 9; ++k) {
        const LevelSpec spec = k < specs.size() ? specs[k] : LevelSpec{0, {char16_t(k)}};
        Put(table, 1, 4);  // start at 1
        table += static_cast<char>(spec.nfc);
        table += static_cast<char>(spec.restartLimit >= 0 ? 0x08 : 0x00);
        table.append(9, '\0');  // rgbxchNums
        table += '\0';          // a tab follows the label
        table.append(10, '\0');
        table += static_cast<char>(std::max(spec.restartLimit, 0));
        table += '\0';
        Put(table, spec.text.size(), 2);
        for (const char16_t c : spec.text) {
            Put(table, c, 2);
        }
    }
    Fib fib;
    fib.plfLst = {0, static_cast<std::uint32_t>(table.size())};
    fib.plfLfo = {static_cast<std::uint32_t>(table.size()), 4 + 16};
    Put(table, 1, 4);
    Put(table, 7, 4);
    table.append(12, '\0');
    return {fib, table};
}

std::string Labels(const std::vector<LevelSpec>& specs, const std::vector<std::uint8_t>& items) {
    const auto [fib, table] = ListTable(specs);
    const Fonts fonts;
    ListLabels labels(fib, table, fonts);
    std::string out;
    for (const std::uint8_t level : items) {
        std::string label;
        std::string suffix;
        out += labels.Next(1, level, label, suffix) ? label + " " : "- ";
    }
    return out;
}

const std::u16string kThreeLevels = {0, '.', 1, '.', 2};

TEST(BinaryWordListLabels, ASkippedLevelCountsAsHavingShownItsStart) {
    const std::vector<LevelSpec> outline = {{0, {0, '.'}}, {4, {1, ')'}}, {2, kThreeLevels}};
    EXPECT_EQ(Labels(outline, {2, 0, 2, 1, 1}), "1.a.i 2. 2.a.i b) c) ");
}

TEST(BinaryWordListLabels, LevelsRestartOnlyAfterTheLevelsTheirRuleNames) {
    const std::vector<LevelSpec> outline = {{0, {0, '.'}},
                                            {4, {1, ')'}, 0},      // never restarts
                                            {2, kThreeLevels, 1},  // restarts after level 0 only
                                            {2, {3}}};  // restarts after any shallower level
    EXPECT_EQ(Labels(outline, {0, 1, 2, 3, 1, 2, 3, 0, 1, 2}),
              "1. a) 1.a.i i b) 1.b.ii i 2. c) 2.c.i ");
}

}  // namespace
}  // namespace corvanel::convert::msword
