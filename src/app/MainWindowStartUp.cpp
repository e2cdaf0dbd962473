// The start-up steps, each under the handler trap with the step number its reports quote.
#include "app/ApplicationTitle.h"
#include "app/MainWindow.h"
#include "app/StartUpFiles.h"
#include "doclist/DocumentListModel.h"
#include "doclist/DocumentListView.h"
#include "export/StartUpCheck.h"
#include "platform/FileTests.h"
#include "platform/HandlerTrap.h"
#include "platform/SettingsStore.h"

#include <QApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QIcon>
#include <QLineEdit>

namespace {

const QString kProductName = QStringLiteral("Corvanel");
const QString kColumnHeader = QStringLiteral(" Word File(s)");
const QString kDragIconFile = QStringLiteral("drag.ico");
constexpr int kColumnWidthPixels = 467;  // 7000 twips

namespace Step {
constexpr int kApplySkin = 100;
constexpr int kLookForHandImage = 104;
constexpr int kLoadHandImage = 106;
constexpr int kSetCaptions = 126;
constexpr int kSetColumnHeader = 128;
constexpr int kSetColumnWidth = 130;
constexpr int kShowOutputFolder = 132;
constexpr int kCheckConverter = 134;
}  // namespace Step

QIcon ApplicationIcon() {
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/icons/corvanel-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

}  // namespace

void MainWindow::StartUp() {
    HandlerTrap trap(services_.dialogs, this, HandlerTags::kStartUp);

    trap.Step(Step::kApplySkin, [&] { ApplySkin(); });

    const QString cursorPath =
        StartUpFiles::BesideProgram(services_.programFolder, StartUpFiles::kHandCursorFile);
    if (trap.Condition(Step::kLookForHandImage,
                       [&] { return FileTests::IsExistingPath(cursorPath); })) {
        trap.Step(Step::kLoadHandImage, [&] { LoadHandImage(cursorPath); });
    }
    LoadDragImage();

    trap.Step(Step::kSetCaptions, [&] { setWindowTitle(kProductName); });
    trap.Step(Step::kSetCaptions, [&] { setWindowIcon(ApplicationIcon()); });
    trap.Step(Step::kSetCaptions, [&] {
        SetApplicationTitle(kProductName);
        exportRun_.SetApplicationTitle(ApplicationTitle());
    });
    trap.Step(Step::kSetColumnHeader, [&] { documents_->SetColumnHeader(kColumnHeader); });
    trap.Step(Step::kSetColumnWidth,
              [&] { documentListView_->header()->resizeSection(0, kColumnWidthPixels); });
    // Filling the box stores the text (StoreOutputFolder): after a first start the setting
    // holds the default.
    trap.Step(Step::kShowOutputFolder, [&] {
        outputFolderBox_->setText(services_.settings.GetSetting(
            SettingsAddress::kApplication, SettingsAddress::kSection,
            QStringLiteral("Output Folder"), StartUpFiles::DefaultOutputFolder()));
    });
    trap.Step(Step::kCheckConverter, [&] {
        EnsureConverterAvailable(services_.converter, services_.dialogs, this, ApplicationTitle(),
                                 [this] { EndProgram(); });
    });
}

void MainWindow::ApplySkin() {
    const std::optional<QString> skin = StartUpFiles::ReadSkin(
        StartUpFiles::BesideProgram(services_.programFolder, StartUpFiles::kSkinFile));
    if (!skin) {
        return;
    }
    const QColor buttonFace = QApplication::palette().color(QPalette::Button);
    QPalette windowPalette = palette();
    windowPalette.setColor(QPalette::Window, buttonFace);
    setPalette(windowPalette);
    // Of the window's controls only the frame takes the colour.
    QPalette framePalette = outputFrame_->palette();
    framePalette.setColor(QPalette::Window, buttonFace);
    outputFrame_->setPalette(framePalette);
    outputFrame_->setAutoFillBackground(true);
    setStyleSheet(*skin);
}

void MainWindow::LoadHandImage(const QString& cursorPath) {
    pointer_.SetHandImage(StartUpFiles::LoadCursorFile(cursorPath));
}

void MainWindow::LoadDragImage() {
    try {
        documentListView_->SetDragCursor(StartUpFiles::LoadCursorFile(
            StartUpFiles::BesideProgram(services_.programFolder, kDragIconFile)));
    } catch (const std::exception&) {
        // Without its icon a row drag shows the system's move pointer.
    }
}
