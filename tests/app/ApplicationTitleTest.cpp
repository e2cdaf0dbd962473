#include "app/ApplicationTitle.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

namespace {

TEST(ApplicationTitleFor, DropsAtLeastOneTrailingWordThenUntilFortyCharactersRemain) {
    EXPECT_EQ(ApplicationTitleFor(QStringLiteral("Corvanel Document Converter")),
              QStringLiteral("Corvanel Document"));
    // Exactly 40 characters with a space: the last word still goes.
    const QString forty = QStringLiteral("Corvanel Batch Document To Text Exporter");
    ASSERT_EQ(forty.size(), 40);
    EXPECT_EQ(ApplicationTitleFor(forty), QStringLiteral("Corvanel Batch Document To Text"));
    EXPECT_EQ(ApplicationTitleFor(QStringLiteral(
                  "Corvanel Batch Document To Text Exporter For Every Office Worker")),
              forty);
}

TEST(ApplicationTitleFor, ANameWithoutASpaceStaysWholeOrIsCutAtForty) {
    EXPECT_EQ(ApplicationTitleFor(QStringLiteral("Corvanel")), QStringLiteral("Corvanel"));
    EXPECT_EQ(ApplicationTitleFor(QString(50, u'x')), QString(40, u'x'));
    EXPECT_EQ(ApplicationTitleFor(QStringLiteral("Corvanel Tool") + QString(45, u'y')),
              QStringLiteral("Corvanel"));
}

}  // namespace
