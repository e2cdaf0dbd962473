#include "export/StartUpCheck.h"
#include "support/FakeConverter.h"
#include "support/FakeDialogs.h"

#include <gtest/gtest.h>

namespace {

const QString kTitle = QStringLiteral("Corvanel");

TEST(EnsureConverterAvailable, AnAvailableConverterPassesSilently) {
    FakeConverter converter;
    FakeDialogs dialogs;
    int ended = 0;
    EnsureConverterAvailable(converter, dialogs, nullptr, kTitle, [&] { ++ended; });
    EXPECT_EQ(ended, 0);
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(converter.AvailabilityChecks(), 1);
}

TEST(EnsureConverterAvailable, ShowsTheReasonThenEndsTheProgram) {
    FakeConverter converter;
    converter.unavailableBecause = QStringLiteral("The converter's tables are missing.");
    FakeDialogs dialogs;
    int endedAfterMessages = -1;
    EnsureConverterAvailable(converter, dialogs, nullptr, kTitle,
                             [&] { endedAfterMessages = int(dialogs.Messages().size()); });
    EXPECT_EQ(endedAfterMessages, 1);
    const MessageRequest message = dialogs.Messages().at(0);
    EXPECT_EQ(message.text, converter.unavailableBecause);
    EXPECT_EQ(message.caption, kTitle);
    EXPECT_EQ(message.buttons, MessageButtons::Ok);
    EXPECT_EQ(message.icon, MessageIcon::None);
}

}  // namespace
