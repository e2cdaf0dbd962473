#include "doclist/DocumentListModel.h"
#include "platform/RuntimeError.h"
#include "support/GuiTestApplication.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

class DocumentListModelTest : public testing::Test {
protected:
    void SetUp() override { EnsureGuiTestApplication(); }
    DocumentListModel model;
    // Checks every change the tests make for model-protocol faults.
    QAbstractItemModelTester tester{&model, QAbstractItemModelTester::FailureReportingMode::Fatal};
};

TEST_F(DocumentListModelTest, AppendsInOrderAndKeepsDuplicatesAndTextsAsGiven) {
    model.Append(QStringLiteral("/a/x.doc"));
    model.Append(QStringLiteral(" /a//y.doc "));
    model.Append(QStringLiteral("/a/x.doc"));
    ASSERT_EQ(model.Count(), 3);
    EXPECT_EQ(model.Text(1), QStringLiteral("/a/x.doc"));
    EXPECT_EQ(model.Text(2), QStringLiteral(" /a//y.doc "));
    EXPECT_EQ(model.Text(3), QStringLiteral("/a/x.doc"));
    EXPECT_EQ(model.data(model.index(1)).toString(), QStringLiteral(" /a//y.doc "));
}

TEST_F(DocumentListModelTest, RemovingMovesLaterEntriesUp) {
    model.AppendMany({"A", "B", "C"});
    model.RemoveAt(2);
    EXPECT_EQ(model.Texts(), (QStringList{"A", "C"}));
    model.SetText(2, QStringLiteral("D"));
    EXPECT_EQ(model.Texts(), (QStringList{"A", "D"}));
    model.Clear();
    EXPECT_EQ(model.Count(), 0);
    model.Clear();  // an empty list clears without complaint
}

TEST_F(DocumentListModelTest, PositionsOutsideTheListRaiseSubscriptOutOfRange) {
    model.Append(QStringLiteral("A"));
    for (const int position : {0, 2, -1}) {
        try {
            (void)model.Text(position);
            FAIL() << position;
        } catch (const RuntimeError& error) {
            EXPECT_EQ(error.Number(), ErrorNumbers::kSubscriptOutOfRange);
        }
    }
    EXPECT_THROW(model.RemoveAt(2), RuntimeError);
    EXPECT_THROW(model.SetText(0, QString()), RuntimeError);
    EXPECT_EQ(model.Count(), 1);
}

TEST_F(DocumentListModelTest, ContainsComparesExactly) {
    model.Append(QStringLiteral("/a/X.doc"));
    EXPECT_TRUE(model.ListContainsPath(QStringLiteral("/a/X.doc")));
    EXPECT_FALSE(model.ListContainsPath(QStringLiteral("/a/x.doc")));
    EXPECT_FALSE(model.ListContainsPath(QStringLiteral("/a/X.doc ")));
}

TEST_F(DocumentListModelTest, OneColumnWithTheHeaderSetAtStartUp) {
    EXPECT_EQ(static_cast<QAbstractItemModel&>(model).columnCount(), 1);
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), QString());
    model.SetColumnHeader(QStringLiteral(" Word File(s)"));
    model.AppendMany({"A", "B"});
    model.RemoveAt(1);
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral(" Word File(s)"));
    EXPECT_FALSE(model.flags(model.index(0)).testFlag(Qt::ItemIsEditable));
}

TEST_F(DocumentListModelTest, BulkAppendOfAHundredThousandRowsIsOneInsertion) {
    QStringList paths;
    for (int i = 0; i < 100000; ++i) {
        paths.append(QStringLiteral("/docs/folder%1/document%2.docx").arg(i / 100).arg(i));
    }
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    model.AppendMany(paths);
    model.Append(QStringLiteral("/last.doc"));
    EXPECT_EQ(inserted.count(), 2);
    EXPECT_EQ(model.Count(), 100001);
    EXPECT_EQ(model.Text(100000), QStringLiteral("/docs/folder999/document99999.docx"));
    model.RemoveAt(1);
    EXPECT_EQ(model.Text(1), QStringLiteral("/docs/folder0/document1.docx"));
}

}  // namespace
