// Measures the document list holding many rows, shown in its view on the offscreen platform:
// filling it, removing selected rows, dragging a row along (reordering), scrolling and painting.
// Each operation is timed alone, event processing and painting included, and reported in ms.
// Usage: doclist_list_bench [ROWS]   (default 100,000; driven by scripts/bench-list)
#include "doclist/DocumentListModel.h"
#include "doclist/DocumentListView.h"
#include "doclist/RowReorder.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>

namespace {

// The view as the reordering sees it, with the pointer's screen height under the program's
// control (the view's own reordering reads the real pointer).
class ViewRows : public ReorderableList {
public:
    explicit ViewRows(DocumentListView& view) : view_(view) {}
    DocumentListModel& Documents() override { return *view_.DocumentList(); }
    int PositionAt(const QPoint& point) const override { return view_.PositionAt(point); }
    int SelectedPosition() const override { return view_.SelectedPosition(); }
    void SelectPosition(int position) override { view_.SelectPosition(position); }
    void MakeVisible(int position) override { view_.MakeVisible(position); }

private:
    DocumentListView& view_;
};

// Lets the view take in model changes (its delayed layout) and paint what changed.
void Settle() {
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

QStringList MakePaths(int count, int first = 0) {
    QStringList paths;
    paths.reserve(count);
    for (int i = first; i < first + count; ++i) {
        paths.append(QStringLiteral("/home/user/Documents/department %1/project %2/report %3.docx")
                         .arg(i / 1000)
                         .arg(i / 10 % 100)
                         .arg(i));
    }
    return paths;
}

// Times `operation(i)` for i in [0, times), each followed by Settle(), and prints the mean and
// the slowest.
void Measure(const char* name, int times, const std::function<void(int)>& operation) {
    double total = 0;
    double slowest = 0;
    QElapsedTimer timer;
    for (int i = 0; i < times; ++i) {
        timer.start();
        operation(i);
        Settle();
        const double ms = timer.nsecsElapsed() / 1e6;
        total += ms;
        slowest = std::max(slowest, ms);
    }
    std::printf("%-44s %6d x  mean %8.3f ms  slowest %8.3f ms\n", name, times, total / times,
                slowest);
    std::fflush(stdout);
}

void Expect(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "check failed: %s\n", what);
        std::exit(2);
    }
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const int rows = argc > 1 ? std::atoi(argv[1]) : 100000;
    Expect(rows >= 2000, "at least 2,000 rows");

    DocumentListModel documents;
    documents.SetColumnHeader(QStringLiteral(" Word File(s)"));
    DocumentListView view;
    view.SetDocumentList(&documents);
    view.resize(520, 169);  // the list's size in the window
    view.header()->resizeSection(0, 1000);
    view.show();
    Expect(QTest::qWaitForWindowExposed(&view), "the list is shown");
    QRandomGenerator random(7);
    std::printf("rows: %d\n", rows);

    const QStringList paths = MakePaths(rows);
    Measure("append all rows at once (empty list)", 1, [&](int) { documents.AppendMany(paths); });
    Expect(documents.Count() == rows, "every row appended");
    Measure("append one row", 200, [&](int i) {
        documents.Append(QStringLiteral("/home/user/Desktop/dropped %1.docx").arg(i));
    });
    Measure("append 8 rows (one folder)", 200,
            [&](int i) { documents.AppendMany(MakePaths(8, rows + 8 * i)); });
    Measure("clear and append all rows again", 3, [&](int) {
        documents.Clear();
        documents.AppendMany(paths);
    });
    Expect(documents.Count() == rows, "the list refilled");

    Measure("repaint (top of the list)", 50, [&](int) { view.viewport()->repaint(); });
    Measure("scroll one line down (scroll bar)", 500, [&](int) {
        view.verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    });
    Measure("scroll one page down (scroll bar)", 500, [&](int) {
        view.verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    });
    Measure("scroll bar to a random place", 500, [&](int) {
        QScrollBar* bar = view.verticalScrollBar();
        bar->setValue(random.bounded(bar->maximum() + 1));
    });
    Measure("scrollTo a random row", 500,
            [&](int) { view.MakeVisible(random.bounded(documents.Count()) + 1); });
    Measure("scroll to the end, then to the top", 50, [&](int) {
        view.scrollToBottom();
        Settle();
        view.scrollToTop();
    });
    Measure("select a random row (and show it)", 500, [&](int) {
        const int position = random.bounded(documents.Count()) + 1;
        view.SelectPosition(position);
    });
    view.setFocus();
    view.SelectPosition(1);
    Measure("Down arrow key", 500, [&](int) { QTest::keyClick(&view, Qt::Key_Down); });
    Measure("Page Down key", 300, [&](int) { QTest::keyClick(&view, Qt::Key_PageDown); });
    Measure("End key, then Home key", 50, [&](int) {
        QTest::keyClick(&view, Qt::Key_End);
        Settle();
        QTest::keyClick(&view, Qt::Key_Home);
    });
    Expect(view.SelectedPosition() == 1, "Home selects the first row");
    Measure("repaint (a random place)", 50, [&](int) {
        view.MakeVisible(random.bounded(documents.Count()) + 1);
        view.viewport()->repaint();
    });
    Measure("grab the whole list as an image", 20, [&](int) { (void)view.grab(); });

    // What the Delete key does: the selected row goes.
    Measure("select a random row and remove it", 300, [&](int) {
        view.SelectPosition(random.bounded(documents.Count()) + 1);
        Settle();
        const int selected = view.SelectedPosition();
        documents.RemoveAt(selected);
    });
    Measure("remove the selected row near the end", 100, [&](int) {
        view.SelectPosition(documents.Count() - 5);
        documents.RemoveAt(view.SelectedPosition());
    });
    Measure("remove the selected row near the top", 100, [&](int) {
        view.SelectPosition(3);
        documents.RemoveAt(view.SelectedPosition());
    });

    // Dragging a row down the list, one row further at each pointer move; the pointer stays low
    // on the screen, so each move also brings the next row into view.
    RowReorder reorder([] { return 10000; });
    ViewRows list(view);
    const int start = documents.Count() / 2;
    view.SelectPosition(start);
    view.MakeVisible(start);
    Settle();
    const QString dragged = documents.Text(start);
    reorder.MouseDown();
    reorder.ItemClick(list);
    int swaps = 0;
    Measure("drag a row one row down (pointer move)", 1000, [&](int) {
        const int here = reorder.DragItemPosition();
        const QRect below = view.visualRect(documents.index(here));  // the row after it
        if (reorder.MouseMove(list, below.center())) {
            ++swaps;
        }
    });
    reorder.MouseUp();
    Expect(swaps == 1000, "every move swapped two rows");
    Expect(documents.Text(start + 1000) == dragged, "the dragged row moved 1,000 rows down");
    std::printf("rows at the end: %d\n", documents.Count());
    return 0;
}
