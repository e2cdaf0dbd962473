#include "cli/Progress.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace corvanel::cli {
namespace {

std::string Captured(std::FILE* f) {
    std::fflush(f);
    std::rewind(f);
    std::string text;
    for (int c = std::fgetc(f); c != EOF; c = std::fgetc(f)) {
        text += static_cast<char>(c);
    }
    return text;
}

TEST(Progress, OnATerminalOneStatusLineIsRewrittenAndFailuresPrintAboveIt) {
    std::FILE* f = std::tmpfile();
    ASSERT_NE(f, nullptr);
    {
        Progress progress(f, true);
        progress.Started("/docs/a.docx");
        progress.Failure("/docs/a.docx is damaged");
        progress.Finished(true);
        progress.Started("/docs/b.docx");
        progress.Finished(false);
        progress.Clear();
    }
    const std::string text = Captured(f);
    std::fclose(f);
    EXPECT_EQ(text.rfind("\r\033[K[0 done] /docs/a.docx", 0), 0u) << text;
    EXPECT_NE(text.find("\r\033[Kcorvanel-convert: /docs/a.docx is damaged\n"), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 4), "\r\033[K");  // and cleared at the end
}

TEST(Progress, ElsewhereOnlyFailureLinesAppear) {
    std::FILE* f = std::tmpfile();
    ASSERT_NE(f, nullptr);
    {
        Progress progress(f, false);
        progress.Started("a.rtf");
        progress.Failure("a.rtf is password-protected");
        progress.Finished(true);
        progress.Clear();
    }
    EXPECT_EQ(Captured(f), "corvanel-convert: a.rtf is password-protected\n");
    std::fclose(f);
}

}  // namespace
}  // namespace corvanel::cli
