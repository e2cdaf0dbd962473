#include "MainWindowHarness.h"

#include "doclist/DocumentListView.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

namespace {

struct ControlCase {
    const char* name;
    const char* caption;
    const char* parent;
    QRect geometry;  // pixels: twips / 15
};

class MainWindowLayoutTest : public MainWindowHarness {};

// The next widget the Tab key reaches.
QWidget* NextTabStop(QWidget* widget) {
    QWidget* next = widget->nextInFocusChain();
    while (next != widget && !(next->focusPolicy() & Qt::TabFocus)) {
        next = next->nextInFocusChain();
    }
    return next;
}

TEST_F(MainWindowLayoutTest, EveryControlHasItsNameCaptionParentAndPlace) {
    Start();
    const ControlCase cases[] = {
        {"ListView1", nullptr, "Form1", QRect(8, 8, 520, 169)},
        {"ProgressBar1", nullptr, "Form1", QRect(8, 346, 520, 27)},
        {"PushButton1", "Add Word File(s)", "Form1", QRect(8, 183, 256, 27)},
        {"PushButton4", "Add All Word Files In Folder", "Form1", QRect(272, 183, 256, 27)},
        {"PushButton6", "Clear List", "Form1", QRect(8, 217, 256, 27)},
        {"PushButton7", "Load Sample/Example Files", "Form1", QRect(272, 217, 256, 27)},
        {"PushButton2", "Start Exporting To Text", "Form1", QRect(8, 311, 520, 27)},
        {"Frame1", nullptr, "Form1", QRect(8, 248, 520, 55)},
        {"Text1", nullptr, "Frame1", QRect(16, 20, 444, 23)},
        {"PushButton3", "...", "Frame1", QRect(464, 20, 40, 23)},
    };
    for (const ControlCase& c : cases) {
        QWidget* control = Child<QWidget>(c.name);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->geometry(), c.geometry) << c.name;
        EXPECT_EQ(control->parentWidget()->objectName(), QString::fromLatin1(c.parent)) << c.name;
        if (c.caption != nullptr) {
            auto* button = qobject_cast<QPushButton*>(control);
            ASSERT_NE(button, nullptr) << c.name;
            EXPECT_EQ(button->text(), QString::fromLatin1(c.caption));
            EXPECT_EQ(button->font().family(), QStringLiteral("Arial"));
            EXPECT_DOUBLE_EQ(button->font().pointSizeF(), 11.25);
            EXPECT_TRUE(button->font().bold());
        }
    }
    EXPECT_EQ(Child<QGroupBox>("Frame1")->title(), QStringLiteral("Save Results To This Folder"));
}

TEST_F(MainWindowLayoutTest, TheWindowIsFixedWhiteAndCaptioned) {
    Start();
    EXPECT_EQ(form->size(), QSize(536, 381));
    EXPECT_EQ(form->minimumSize(), form->maximumSize());
    EXPECT_TRUE(form->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(form->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Corvanel"));
    EXPECT_FALSE(form->windowIcon().isNull());
    EXPECT_EQ(form->palette().color(QPalette::Window), QColor(Qt::white));
    EXPECT_EQ(form->font().family(), QStringLiteral("Arial"));
    EXPECT_EQ(form->font().pointSizeF(), 9.0);
    EXPECT_TRUE(form->font().bold());
    EXPECT_EQ(form->Pointer(), PointerShape::kArrow);
}

TEST_F(MainWindowLayoutTest, TheListHasItsColumnTooltipAndAcceptsDrops) {
    Start();
    auto* list = Child<DocumentListView>("ListView1");
    EXPECT_EQ(list->model()->headerData(0, Qt::Horizontal).toString(),
              QStringLiteral(" Word File(s)"));
    EXPECT_EQ(list->model()->columnCount(), 1);
    EXPECT_EQ(list->header()->sectionSize(0), 467);
    EXPECT_EQ(list->toolTip(),
              QStringLiteral("Drag and drop files here. Double-click item to remove it. Move | "
                             "line to right and out of window to reveal full names."));
    EXPECT_TRUE(list->viewport()->acceptDrops());
    EXPECT_FALSE(list->isSortingEnabled());
}

TEST_F(MainWindowLayoutTest, TheProgressBarIdlesAtZeroWithItsText) {
    Start();
    auto* bar = Child<QProgressBar>("ProgressBar1");
    EXPECT_EQ(bar->minimum(), 0);
    EXPECT_EQ(bar->maximum(), 100);
    EXPECT_EQ(bar->value(), 0);
    EXPECT_TRUE(bar->isTextVisible());
    EXPECT_EQ(bar->text(), QStringLiteral("Progress Bar"));
}

TEST_F(MainWindowLayoutTest, TabOrderFollowsTheDesign) {
    Start();
    const char* order[] = {"ListView1",   "PushButton1", "PushButton4", "PushButton6",
                           "PushButton7", "PushButton2", "Text1",       "PushButton3"};
    for (size_t i = 0; i + 1 < std::size(order); ++i) {
        EXPECT_EQ(NextTabStop(Child<QWidget>(order[i])), Child<QWidget>(order[i + 1])) << order[i];
    }
}

}  // namespace
