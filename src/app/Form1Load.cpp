// Form_Load: the start-up steps, each under the handler trap with its line label.
#include "app/ApplicationTitle.h"
#include "app/Form1.h"
#include "app/StartUpFiles.h"
#include "doclist/DocumentListModel.h"
#include "doclist/ListView1.h"
#include "export/IsInstalled.h"
#include "platform/FileTests.h"
#include "platform/HandlerTrap.h"
#include "platform/SettingsStore.h"

#include <QApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QIcon>
#include <QLineEdit>
#include <QStyle>

namespace {

const QString kProductName = QStringLiteral("Corvanel");
const QString kColumnHeader = QStringLiteral(" Word File(s)");
constexpr int kColumnWidthPixels = 467;  // 7000 twips

QIcon ApplicationIcon() {
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/icons/corvanel-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

}  // namespace

void Form1::Form_Load() {
    HandlerTrap trap(services_.dialogs, this, HandlerTags::kFormLoad);

    trap.Step(100, [&] { ApplySkin(); });

    const QString cursorPath =
        StartUpFiles::BesideProgram(services_.programFolder, StartUpFiles::kHandCursorFile);
    if (trap.Condition(104, [&] { return IsInstalled::IsExistingPath(cursorPath); })) {
        trap.Step(106, [&] { LoadMouseIcon(cursorPath); });
    }

    trap.Step(126, [&] { setWindowTitle(kProductName); });
    trap.Step(126, [&] { setWindowIcon(ApplicationIcon()); });
    trap.Step(126, [&] {
        SetApplicationTitle(kProductName);
        exportRun_.SetApplicationTitle(ApplicationTitle());
    });
    trap.Step(128, [&] { documents_->SetColumnHeader(kColumnHeader); });
    trap.Step(130, [&] { listView1_->header()->resizeSection(0, kColumnWidthPixels); });
    // Filling the box runs Text1_Change, which stores the text: after a first start the
    // setting holds the default.
    trap.Step(132, [&] {
        text1_->setText(services_.settings.GetSetting(
            SettingsAddress::kApplication, SettingsAddress::kSection,
            QStringLiteral("Output Folder"), StartUpFiles::DefaultOutputFolder()));
    });
    trap.Step(134, [&] {
        IsInstalled::EnsureWordAvailable(services_.converter, services_.dialogs, this,
                                         ApplicationTitle(), [this] { Form_Unload(); });
    });
}

void Form1::ApplySkin() {
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
    QPalette framePalette = frame1_->palette();
    framePalette.setColor(QPalette::Window, buttonFace);
    frame1_->setPalette(framePalette);
    frame1_->setAutoFillBackground(true);
    setStyleSheet(*skin);
}

void Form1::LoadMouseIcon(const QString& cursorPath) {
    mouseIcon_ = StartUpFiles::LoadCursorFile(cursorPath);
}
