#include "app/ProgressBar.h"
#include "support/GuiTestApplication.h"

#include <QTest>

#include <gtest/gtest.h>

namespace {

TEST(LiteralTextProgressBar, ShowsItsTextLiterally) {
    EnsureGuiTestApplication();
    LiteralTextProgressBar bar;
    bar.setRange(0, 100);
    bar.SetValueSoon(40);
    bar.SetTextSoon(QStringLiteral("Processing: 100%p of %v.doc"));
    EXPECT_EQ(bar.text(), QStringLiteral("Processing: 100%p of %v.doc"));
}

TEST(LiteralTextProgressBar, ABurstOfChangesIsCurrentAtOnceAndPaintedSoonAfter) {
    EnsureGuiTestApplication();
    LiteralTextProgressBar bar;
    bar.setRange(0, 100);
    bar.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
    bar.repaint();  // a paint just happened: the next changes wait for the interval
    for (int i = 1; i <= 50; ++i) {
        bar.SetValueSoon(i * 2);
        bar.SetTextSoon(QStringLiteral("Processing: document%1.doc").arg(i));
    }
    EXPECT_EQ(bar.value(), 100);
    EXPECT_EQ(bar.text(), QStringLiteral("Processing: document50.doc"));
    EXPECT_FALSE(bar.updatesEnabled());
    EXPECT_TRUE(QTest::qWaitFor([&] { return bar.updatesEnabled(); },
                                10 * LiteralTextProgressBar::kPaintInterval));
}

}  // namespace
