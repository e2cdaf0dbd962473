#pragma once

#include "app/WindowPointer.h"
#include "export/ExportRun.h"

#include <QString>
#include <QWidget>

#include <functional>
#include <memory>

class BackgroundCall;
class Dialogs;
class DocumentConverter;
class DocumentListModel;
class DocumentListView;
class LiteralTextProgressBar;
class QGroupBox;
class QLineEdit;
class QPushButton;
class SettingsStore;

// What the main window works with, injected so tests can use fakes.
struct MainWindowServices {
    Dialogs& dialogs;
    SettingsStore& settings;
    DocumentConverter& converter;
    // The folder that holds the program (companion files: x/o.cjs, HAND-M.CUR, drag.ico,
    // Samples), without a trailing separator unless it is a root.
    QString programFolder;
    // Ends the process at once (closing the window, the converter missing at start-up).
    std::function<void()> endProgram;
};

// The main window. Creating it runs the start-up steps; every user action is one of its
// handlers. The child widgets keep the object names style sheets and tests address them by
// (ListView1, Text1, PushButton1..7, ProgressBar1, Frame1).
//
//   MainWindow.cpp             construction, layout, closing, the export's view of the window
//   MainWindowStartUp.cpp      the start-up steps: skin, hand pointer, captions, output folder
//   MainWindowHandlers.cpp     adding by dialog, export, output folder, clearing, removal
//   MainWindowListFilling.cpp  folder scan, samples, drops and documents handed over
class MainWindow : public QWidget, private ExportView {
    Q_OBJECT

public:
    explicit MainWindow(MainWindowServices services, QWidget* parent = nullptr);
    ~MainWindow() override;

    PointerShape Pointer() const { return pointer_.Shape(); }
    PointerShape PointerOver(const QWidget* widget) const { return pointer_.ShapeOver(widget); }
    bool HasHandImage() const { return pointer_.HasHandImage(); }
    // The hourglass over the whole window while busy; removal and clearing wait for it to go.
    void ShowBusyPointer(bool busy) override;

    DocumentListModel& DocumentList() { return *documents_; }
    bool ExportRunning() const { return exportRun_.ExportRunning(); }
    bool ProgramEnded() const override { return programEnded_; }
    const QString& ProgramFolder() const { return services_.programFolder; }

    // Button handlers (connected to the buttons' clicked signals).
    void AddFilesFromDialog();
    void StartExport();
    void BrowseOutputFolder();
    void AddFolderTree();
    void ClearList();
    void LoadSamples();
    // Every change of the output folder box is stored at once.
    void StoreOutputFolder();
    // Documents the program was started with, or a later start handed over: added as a drop
    // adds them, the window brought forward.
    void AddHandedDocuments(const QStringList& paths);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateControls();
    void ConnectControls();
    void PlaceOnScreenCentre();

    void StartUp();
    void EndProgram();
    void ApplySkin();
    void LoadHandImage(const QString& cursorPath);
    void LoadDragImage();

    // The list's requests; the window decides.
    void RemoveRow(int position);
    void AddDroppedPaths(const QStringList& paths);

    // ExportView.
    int DocumentCount() const override;
    QString DocumentText(int position) const override;
    QString OutputFolderText() const override;
    void SetProgressValue(int value) override;
    void SetProgressText(const QString& text) override;
    void YieldToEvents() override;

    MainWindowServices services_;

    DocumentListModel* documents_ = nullptr;
    DocumentListView* documentListView_ = nullptr;
    LiteralTextProgressBar* progressBar_ = nullptr;
    QPushButton* addFilesButton_ = nullptr;
    QPushButton* exportButton_ = nullptr;
    QPushButton* browseOutputButton_ = nullptr;
    QPushButton* addFolderButton_ = nullptr;
    QPushButton* clearListButton_ = nullptr;
    QPushButton* samplesButton_ = nullptr;
    QGroupBox* outputFrame_ = nullptr;
    QLineEdit* outputFolderBox_ = nullptr;

    WindowPointer pointer_;
    bool programEnded_ = false;
    bool settingFailureShown_ = false;
    // The folder scan's remembered picker folder (stored as "LastFolder").
    QString lastScanFolder_;

    std::unique_ptr<BackgroundCall> conversionThread_;
    ExportRun exportRun_;
};
