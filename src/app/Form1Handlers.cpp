// The handlers of the buttons, the output-folder box and list removal, and the window side of
// the export run.
#include "app/ApplicationTitle.h"
#include "app/Form1.h"
#include "app/ProgressBar.h"
#include "doclist/DocumentListModel.h"
#include "doclist/ListView1.h"
#include "platform/Dialogs.h"
#include "platform/Globals.h"
#include "platform/HandlerTrap.h"
#include "platform/RuntimeError.h"
#include "platform/SettingsStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QProgressBar>

namespace {

const QString kOutputFolderKey = QStringLiteral("Output Folder");
const QString kLastFolderDotKey = QStringLiteral("LastFolderDot");

}  // namespace

// Add Word File(s). Qt's dialog hands back a list of full paths and has no name buffer to
// overflow, so there is no "too many files" case to handle.
void Form1::PushButton1_Click() {
    HandlerTrap trap(services_.dialogs, this, HandlerTags::kPushButton1);
    OpenFilesRequest request;
    trap.Step(108, [&] {
        request.title = QStringLiteral("Add File(s) - Hold Ctrl to select multiple files");
    });
    trap.Step(110,
              [&] { request.filter = QStringLiteral("Word Documents (*.do*);;All Files (*.*)"); });
    QStringList chosen;
    trap.Step(112, [&] { chosen = services_.dialogs.OpenFiles(this, request); });
    if (trap.Condition(114, [&] { return chosen.isEmpty(); })) {
        return;
    }
    if (trap.Condition(118, [&] { return chosen.size() == 1; })) {
        trap.Step(122, [&] { documents_->Append(chosen.first()); });
        return;
    }
    QStringList rows;
    for (const QString& path : chosen) {
        trap.Step(136, [&] {
            const QFileInfo file(path);
            const QString joined =
                QDir::toNativeSeparators(file.path()) + PathSeparator() + file.fileName();
            rows.append(Globals::NormalizePath(joined));
        });
    }
    trap.Step(140, [&] { documents_->AppendMany(rows); });
}

void Form1::PushButton2_Click() {
    exportRun_.Run();
}

// The output folder's browse button: the pick gets exactly one trailing separator in the box.
void Form1::PushButton3_Click() {
    HandlerTrap trap(services_.dialogs, this, HandlerTags::kPushButton3);
    QString lastOutputFolder;
    QString picked;
    trap.Step(100, [&] {
        lastOutputFolder = services_.settings.GetSetting(
            SettingsAddress::kApplication, SettingsAddress::kSection, kLastFolderDotKey, QString());
    });
    trap.Step(100, [&] {
        picked = services_.dialogs.PickFolder(this, QStringLiteral("Please select folder:"),
                                              lastOutputFolder);
    });
    if (trap.Condition(102, [&] { return picked.isEmpty(); })) {
        return;
    }
    trap.Step(104, [&] {
        lastOutputFolder = picked;
        services_.settings.SaveSetting(SettingsAddress::kApplication, SettingsAddress::kSection,
                                       kLastFolderDotKey, lastOutputFolder);
    });
    if (trap.Condition(104, [&] { return !picked.endsWith(PathSeparator()); })) {
        trap.Step(106, [&] { text1_->setText(picked + PathSeparator()); });
    } else {
        trap.Step(108, [&] { text1_->setText(picked); });
    }
}

// Clear List.
void Form1::PushButton6_Click() {
    HandlerTrap trap(services_.dialogs, this, HandlerTags::kPushButton6);
    if (trap.Condition(100, [&] { return mousePointer_ == kPointerHourglass; })) {
        return;
    }
    trap.Step(102, [&] { documents_->Clear(); });
}

// Every change of the box, typed or set, is stored at once. A store that refuses the write is
// reported once (not at every keystroke) until a write succeeds again.
void Form1::Text1_Change() {
    try {
        services_.settings.SaveSetting(SettingsAddress::kApplication, SettingsAddress::kSection,
                                       kOutputFolderKey, text1_->text());
        settingFailureShown_ = false;
    } catch (const RuntimeError& error) {
        if (settingFailureShown_) {
            return;
        }
        settingFailureShown_ = true;
        MessageRequest message;
        message.text = error.Description();
        message.caption = ApplicationTitle();
        message.icon = MessageIcon::Exclamation;
        services_.dialogs.ShowMessage(this, message);
    }
}

void Form1::ListView1_DblClick() {
    RemoveSelectedItem();
}

// The Delete key removes the row, with or without Shift or Ctrl.
void Form1::ListView1_KeyDown(int keyCode, Qt::KeyboardModifiers) {
    if (keyCode == Qt::Key_Delete) {
        RemoveSelectedItem();
    }
}

void Form1::RemoveSelectedItem() {
    if (mousePointer_ == kPointerHourglass || documents_->Count() == 0) {
        return;
    }
    const int position = listView1_->SelectedPosition();
    if (position == 0) {
        return;
    }
    documents_->RemoveAt(position);
}

int Form1::DocumentCount() const {
    return documents_->Count();
}

QString Form1::DocumentText(int position) const {
    return documents_->Text(position);
}

QString Form1::OutputFolderText() const {
    return text1_->text();
}

void Form1::SetProgressValue(int value) {
    progressBar1_->SetValueSoon(value);
}

void Form1::SetProgressText(const QString& text) {
    progressBar1_->SetTextSoon(text);
}

void Form1::YieldToEvents() {
    QCoreApplication::processEvents();
}
