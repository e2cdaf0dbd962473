#include "doclist/Wildcard.h"

#include <gtest/gtest.h>

#include <QString>

namespace {

using AddFolder::MatchesWildcard;

TEST(WildcardTest, FollowsTheFolderListingRules) {
    EXPECT_TRUE(MatchesWildcard(u"Report.DOC", u"*.doc"));
    EXPECT_TRUE(MatchesWildcard(u"report.doc", u"*.DOC"));
    EXPECT_FALSE(MatchesWildcard(u"report.docx", u"*.doc"));
    EXPECT_TRUE(MatchesWildcard(u"report.docx", u"*.do*"));
    EXPECT_TRUE(MatchesWildcard(u"a.dot", u"*.do?"));
    EXPECT_FALSE(MatchesWildcard(u"a.do", u"*.do?"));
    EXPECT_TRUE(MatchesWildcard(u"no-dot-at-all", u"*.*"));
    EXPECT_TRUE(MatchesWildcard(u"", u"*.*"));
    EXPECT_FALSE(MatchesWildcard(u"no-dot-at-all", u"*.txt"));
    EXPECT_FALSE(MatchesWildcard(u"report.doc", u"*..doc")) << "an extension typed with its dot";
    EXPECT_TRUE(MatchesWildcard(u"x..doc", u"*..doc"));
    EXPECT_TRUE(MatchesWildcard(u"a.b.c.doc", u"*.doc"));
    EXPECT_TRUE(MatchesWildcard(u"[x].doc", u"[x].doc")) << "brackets are plain characters";
    EXPECT_TRUE(MatchesWildcard(u"ÉTÉ.DOC", u"été.doc"));
    EXPECT_FALSE(MatchesWildcard(QString(2000, u'a'), QString(100, u'*') + u'b'));
}

}  // namespace
