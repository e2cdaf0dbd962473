#include "convert/core/EqField.h"

#include <gtest/gtest.h>

#include <string>

namespace corvanel::convert {
namespace {

struct EqCase {
    const char* code;
    const char* shown;
};

TEST(EqField, ShowsWhatTheReaderSees) {
    const EqCase cases[] = {
        // Phonetic guides: the base text only, whatever the format switches around them.
        {R"(EQ \* jc2 \* "Font:MS Mincho" \* hps10 \o\ad(\s\up 9(かんじ),漢字))", "漢字"},
        {R"( eq \O\AD(\S\UP9(hàn),汉) \* MERGEFORMAT)", "汉"},
        {R"(EQ \o(\s\up 11(a)b,c))", "abc"},  // not a guide: more than the raised text
        {R"(EQ \o\ac(○,1))", "○1"},
        // The other switches.
        {R"(EQ \f(1,2))", "1/2"},
        {R"(EQ \b \lc\[ \rc\] (x))", "[x]"},
        {R"(EQ \b \bc\{ (\f(a;b)))", "{a/b}"},
        {R"(EQ \b(y))", "(y)"},
        {R"(EQ \a \al \co2 \vs3 \hs3(A,B,C,D))", "A B C D"},
        {R"(EQ \i \su(1,n,k))", "∑ 1 n k"},
        {R"(EQ \i \fc\* (0,1,x))", "* 0 1 x"},
        {R"(EQ \r(3,x))", "3√x"},
        {R"(EQ \l(a,b))", "a,b"},
        {R"(EQ x\s\do4(2)\d \fo10 \li()\x(box))", "x2box"},
        // Escapes are characters; options and a stray close are not.
        {R"(EQ \b(\(\)\,\\))", R"(((),\))"},
        {R"(EQ a)b)", "ab"},
        // Unbalanced and empty codes end without losing what was read.
        {R"(EQ \f(1,\b(2)", "1/(2)"},
        {R"(EQ \s\up)", ""},
        {R"(EQ \b \lc\)", "()"},
        {"EQ", ""},
    };
    for (const EqCase& c : cases) {
        const auto shown = EqFieldText(c.code);
        ASSERT_TRUE(shown.has_value()) << c.code;
        EXPECT_EQ(*shown, c.shown) << c.code;
    }
}

TEST(EqField, OtherFieldsAreNotRead) {
    for (const char* code : {"PAGE", "EQUATION", " SEQ Figure", "", "E"}) {
        EXPECT_FALSE(EqFieldText(code).has_value()) << code;
    }
}

TEST(EqField, DeepNestingEnds) {
    std::string code = "EQ ";
    for (int i = 0; i < 100000; ++i) {
        code += "\\b(";
    }
    code += "x";
    const auto shown = EqFieldText(code);
    ASSERT_TRUE(shown.has_value());
    EXPECT_EQ(shown->find('x'), std::string::npos);
    EXPECT_LT(shown->size(), 200u);
}

}  // namespace
}  // namespace corvanel::convert
