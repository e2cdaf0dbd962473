#include "convert/core/DocumentFacts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace corvanel::convert {
namespace {

TEST(TextCounter, CountsCharactersAndWordsAcrossPiecesAndLineEnds) {
    struct Case {
        std::vector<std::string> pieces;
        std::uint64_t chars;
        std::uint64_t words;
    };
    const Case cases[] = {
        {{"two words\n"}, 10, 2},
        {{"two words\r\n"}, 10, 2},  // CRLF is one line end, as LF is
        {{"two wo", "rds\r", "\n"}, 10, 2},
        {{"caf\xC3", "\xA9 \xE6\x97", "\xA5"}, 6, 2},  // characters cut between pieces
        {{"a\rb"}, 3, 2},                              // a lone CR is a character
    };
    for (const Case& c : cases) {
        TextCounter counter;
        for (const std::string& piece : c.pieces) {
            counter.Add(piece);
        }
        EXPECT_EQ(counter.Chars(), c.chars) << c.pieces[0];
        EXPECT_EQ(counter.Words(), c.words) << c.pieces[0];
    }
}

}  // namespace
}  // namespace corvanel::convert
