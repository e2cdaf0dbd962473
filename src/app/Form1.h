#pragma once

#include "app/Form1ListFeatures.h"
#include "app/ProgressBar.h"
#include "doclist/ListView1Events.h"
#include "export/ExportRun.h"

#include <QCursor>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class BackgroundCall;
class Dialogs;
class DocumentConverter;
class DocumentListModel;
class ListView1;
class QGroupBox;
class QLineEdit;
class QPushButton;
class SettingsStore;

// What the main window works with, injected so tests can use fakes.
struct Form1Services {
    Dialogs& dialogs;
    SettingsStore& settings;
    DocumentConverter& converter;
    // The folder that holds the program (companion files: x/o.cjs, HAND-M.CUR, drag.ico,
    // Samples), without a trailing separator unless it is a root.
    QString programFolder;
    // Ends the process at once (closing the window, the converter missing at start-up).
    std::function<void()> endProgram;
};

// The main window. Creating it runs Form_Load; every user action is one of its handlers.
//
// Where the handlers live:
//   Form1.cpp             construction, layout, pointer shape, Form_Unload
//   Form1Load.cpp         Form_Load and its start-up steps
//   Form1Handlers.cpp     PushButton1_Click (add by dialog), PushButton2_Click (export run),
//                         PushButton3_Click and Text1_Change (output folder), PushButton6_Click
//                         (Clear List), ListView1_DblClick and ListView1_KeyDown (removal),
//                         and the ExportView the export run drives
//   Form1ListFeatures.cpp PushButton4_Click (folder scan), PushButton7_Click (samples), drag
//                         and drop onto the list, row reordering (ListView1_MouseDown,
//                         ListView1_ItemClick, ListView1_MouseMove, ListView1_MouseUp) and the
//                         pointer feedback of the buttons and surfaces (eventFilter); its state
//                         is Form1ListFeatureState (Form1ListFeatures.h)
class Form1 : public QWidget, private ListView1Events, private ExportView {
    Q_OBJECT

public:
    explicit Form1(Form1Services services, QWidget* parent = nullptr);
    ~Form1() override;

    // MousePointer: 0 default arrow, 11 hourglass, 99 the custom hand cursor (arrow if none).
    int MousePointer() const { return mousePointer_; }
    void SetMousePointer(int pointer) override;
    bool HasCustomPointerImage() const { return mouseIcon_.has_value(); }

    DocumentListModel& DocumentList() { return *documents_; }
    bool ExportRunning() const { return exportRun_.ExportRunning(); }
    bool ProgramEnded() const override { return programEnded_; }
    const QString& ProgramFolder() const { return services_.programFolder; }

    // Button handlers (also connected to the buttons' clicked signals).
    void PushButton1_Click();
    void PushButton2_Click();
    void PushButton3_Click();
    void PushButton4_Click();
    void PushButton6_Click();
    void PushButton7_Click();
    void Text1_Change();

    // ListView1 events (ListView1Events).
    void ListView1_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift,
                             const QPoint& point) override;
    void ListView1_ItemClick(int position) override;
    void ListView1_MouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers shift,
                             const QPoint& point) override;
    void ListView1_MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift,
                           const QPoint& point) override;
    void ListView1_DblClick() override;
    void ListView1_KeyDown(int keyCode, Qt::KeyboardModifiers shift) override;
    void ListView1_OLEDragOver(QDragMoveEvent* event) override;
    void ListView1_OLEDragDrop(QDropEvent* event) override;

protected:
    void closeEvent(QCloseEvent* event) override;
    // Pointer feedback of the buttons and surfaces (Form1ListFeatures.cpp).
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateControls();
    void PlaceOnScreenCentre();
    // Set-up of the list features (event filters, mouse tracking); Form1ListFeatures.cpp.
    void InstallListFeatures();

    void Form_Load();
    void Form_Unload();
    void ApplySkin();
    void LoadMouseIcon(const QString& cursorPath);

    void RemoveSelectedItem();

    // ExportView.
    int DocumentCount() const override;
    QString DocumentText(int position) const override;
    QString OutputFolderText() const override;
    void SetProgressValue(int value) override;
    void SetProgressText(const QString& text) override;
    void YieldToEvents() override;

    Form1Services services_;

    DocumentListModel* documents_ = nullptr;
    ListView1* listView1_ = nullptr;
    LiteralTextProgressBar* progressBar1_ = nullptr;
    QPushButton* pushButton1_ = nullptr;
    QPushButton* pushButton2_ = nullptr;
    QPushButton* pushButton3_ = nullptr;
    QPushButton* pushButton4_ = nullptr;
    QPushButton* pushButton6_ = nullptr;
    QPushButton* pushButton7_ = nullptr;
    QGroupBox* frame1_ = nullptr;
    QLineEdit* text1_ = nullptr;

    int mousePointer_ = kPointerDefault;
    bool pointerApplied_ = false;
    std::optional<QCursor> mouseIcon_;  // MouseIcon: the hand cursor, when one was loaded
    bool programEnded_ = false;
    bool settingFailureShown_ = false;

    std::unique_ptr<BackgroundCall> conversionThread_;
    ExportRun exportRun_;
    Form1ListFeatureState listFeatures_;
};
