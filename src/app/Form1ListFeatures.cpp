// Filling and ordering the list: the folder scan (PushButton4), the samples (PushButton7), drag
// and drop onto the list, reordering rows by dragging them, and the pointer feedback of the
// buttons and surfaces.
#include "app/ApplicationTitle.h"
#include "app/Form1.h"
#include "app/StartUpFiles.h"
#include "doclist/AddFolder.h"
#include "doclist/DocumentListModel.h"
#include "doclist/DroppedPaths.h"
#include "doclist/FolderFiles.h"
#include "doclist/HoverPointer.h"
#include "doclist/ListView1.h"
#include "doclist/ListViewRows.h"
#include "doclist/Main.h"
#include "doclist/StepGuard.h"
#include "platform/Dialogs.h"
#include "platform/HandlerTrap.h"
#include "platform/PathStyle.h"
#include "platform/SettingsStore.h"

#include <QDir>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QGroupBox>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QUrl>

namespace {

const QString kExtensionKey = QStringLiteral("Extension");
const QString kLastFolderKey = QStringLiteral("LastFolder");
const QString kDefaultExtension = QStringLiteral("doc");
const QString kExtensionPrompt = QStringLiteral(
    "Enter file extension to load:\r\r(* for all files, txt for all txt files, "
    "doc for all doc files, etc.)");
const QString kDragIconFile = QStringLiteral("drag.ico");
constexpr int kNoHoverHandling = -1;

// Only drags that carry files of this machine can be dropped.
bool CarriesLocalFiles(const QMimeData* data) {
    if (data == nullptr || !data->hasUrls() || data->urls().isEmpty()) {
        return false;
    }
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile()) {
            return false;
        }
    }
    return true;
}

}  // namespace

void Form1::InstallListFeatures() {
    QHash<const QObject*, int>& hover = listFeatures_.HoverPointers;
    for (QPushButton* button :
         {pushButton1_, pushButton2_, pushButton3_, pushButton4_, pushButton6_, pushButton7_}) {
        hover.insert(button, kPointerCustom);
    }
    hover.insert(this, kPointerDefault);
    hover.insert(frame1_, kPointerDefault);
    hover.insert(text1_, kPointerDefault);
    // The list applies the rule in its own move handler; the progress bar has none.
    hover.insert(listView1_, kNoHoverHandling);
    hover.insert(progressBar1_, kNoHoverHandling);

    for (auto it = hover.cbegin(); it != hover.cend(); ++it) {
        if (it.value() != kNoHoverHandling) {
            auto* widget = const_cast<QWidget*>(qobject_cast<const QWidget*>(it.key()));
            widget->setMouseTracking(true);
            widget->installEventFilter(this);
        }
    }
    listView1_->viewport()->setMouseTracking(true);
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseMove) {
        // A move a child ignores reaches its parent too: the surface is the watched widget
        // nearest to the pointer, so each move gets the rule of the surface it is over.
        auto* widget = qobject_cast<QWidget*>(watched);
        const QPoint point = static_cast<QMouseEvent*>(event)->position().toPoint();
        QWidget* surface = widget != nullptr ? widget->childAt(point) : nullptr;
        if (surface == nullptr) {
            surface = widget;
        }
        while (surface != nullptr && !listFeatures_.HoverPointers.contains(surface)) {
            surface = surface->parentWidget();
        }
        const int value =
            surface != nullptr ? listFeatures_.HoverPointers.value(surface) : kNoHoverHandling;
        if (value != kNoHoverHandling) {
            SetMousePointer(HoverRule(MousePointer(), value));
        }
    }
    return QWidget::eventFilter(watched, event);
}

void Form1::PushButton4_Click() {
    Dialogs& dialogs = services_.dialogs;
    SettingsStore& settings = services_.settings;
    HandlerTrap trap(dialogs, this, HandlerTags::kPushButton4);
    const auto setting = [&](const QString& key, const QString& fallback) {
        return settings.GetSetting(SettingsAddress::kApplication, SettingsAddress::kSection, key,
                                   fallback);
    };
    const auto store = [&](const QString& key, const QString& value) {
        settings.SaveSetting(SettingsAddress::kApplication, SettingsAddress::kSection, key, value);
    };

    QString extension;
    trap.Step(100, [&] {
        extension = dialogs.InputBox(this, InputRequest{kExtensionPrompt, ApplicationTitle(),
                                                        setting(kExtensionKey, kDefaultExtension)});
        if (!extension.isEmpty()) {
            store(kExtensionKey, extension);
        }
    });
    if (extension.isEmpty()) {  // 102
        return;
    }
    QString picked;
    trap.Step(104, [&] {
        listFeatures_.LastScanFolder = setting(kLastFolderKey, QString());
        picked = AddFolder::PickFolder(dialogs, this, AddFolder::kPickFolderTitle,
                                       listFeatures_.LastScanFolder);
    });
    if (picked.isEmpty()) {  // 106
        return;
    }
    trap.Step(333, [&] { listFeatures_.LastScanFolder = picked; });
    trap.Step(334, [&] { store(kLastFolderKey, picked); });
    trap.Step(112, [&] { SetMousePointer(kPointerHourglass); });

    QStringList folders;
    trap.Step(114, [&] { folders = QStringList{picked + PathSeparator()}; });
    trap.Step(116, [&] {
        const AddFolder::FolderWalk walk{dialogs, this, [this] { YieldToEvents(); }, nullptr};
        AddFolder::GetSubDirectories2016(folders, true, walk);
    });
    if (ProgramEnded()) {
        return;
    }
    ReportingStepGuard guard(trap);
    trap.Step(118, [&] {
        AddFolder::AppendFolderSetFiles(
            folders, AddFolder::PatternForExtension(extension), nullptr, guard,
            [this](const QStringList& rows) { documents_->AppendMany(rows); });
    });
    trap.Step(136, [&] { SetMousePointer(kPointerDefault); });
}

void Form1::PushButton7_Click() {
    HandlerTrap trap(services_.dialogs, this, HandlerTags::kPushButton7);
    trap.Step(100, [&] {
        Main::LoadSampleFiles(
            *documents_, services_.dialogs, this,
            StartUpFiles::BesideProgram(services_.programFolder, Main::kSamplesFolderName),
            ApplicationTitle());
    });
}

void Form1::ListView1_OLEDragOver(QDragMoveEvent* event) {
    if (CarriesLocalFiles(event->mimeData())) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void Form1::ListView1_OLEDragDrop(QDropEvent* event) {
    if (!CarriesLocalFiles(event->mimeData())) {
        event->ignore();
        return;
    }
    // Taken before anything yields: the drag's data may go once the drop has been accepted.
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        paths.append(QDir::toNativeSeparators(url.toLocalFile()));
    }
    event->acceptProposedAction();
    const AddFolder::FolderWalk walk{services_.dialogs, this, [this] { YieldToEvents(); }, nullptr};
    DroppedPaths::AddDroppedPaths(paths, walk, [this](const QStringList& rows) {
        if (!ProgramEnded()) {
            documents_->AppendMany(rows);
        }
    });
}

void Form1::ListView1_MouseDown(Qt::MouseButton, Qt::KeyboardModifiers, const QPoint&) {
    listFeatures_.Reorder.MouseDown();
}

void Form1::ListView1_ItemClick(int) {
    ListViewRows rows(*listView1_);
    listFeatures_.Reorder.ItemClick(rows);
    if (!listFeatures_.DragCursorLoaded) {
        listFeatures_.DragCursorLoaded = true;
        try {
            listFeatures_.DragCursor = StartUpFiles::LoadCursorFile(
                StartUpFiles::BesideProgram(services_.programFolder, kDragIconFile));
        } catch (const std::exception&) {
            // Without its icon the drag shows the system's move pointer.
        }
    }
    listView1_->setCursor(listFeatures_.DragCursor.value_or(QCursor(Qt::DragMoveCursor)));
}

void Form1::ListView1_MouseMove(Qt::MouseButtons, Qt::KeyboardModifiers, const QPoint& point) {
    SetMousePointer(HoverRule(MousePointer(), kPointerDefault));
    ListViewRows rows(*listView1_);
    listFeatures_.Reorder.MouseMove(rows, point);
}

void Form1::ListView1_MouseUp(Qt::MouseButton, Qt::KeyboardModifiers, const QPoint&) {
    listFeatures_.Reorder.MouseUp();
    listView1_->setCursor(Qt::ArrowCursor);
}
