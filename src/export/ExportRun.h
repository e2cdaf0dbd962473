#pragma once

#include <QString>

#include <functional>

class Dialogs;
class DocumentConverter;
class QWidget;

// What the export run reads and drives on the window: the document list, the output folder box,
// the progress bar, the pointer shape and the event queue. MainWindow implements it; tests use a
// fake.
class ExportView {
public:
    virtual ~ExportView() = default;

    virtual int DocumentCount() const = 0;
    // The text of entry `position` (1-based); throws RuntimeError when there is none.
    virtual QString DocumentText(int position) const = 0;
    virtual QString OutputFolderText() const = 0;
    virtual void SetProgressValue(int value) = 0;
    virtual void SetProgressText(const QString& text) = 0;
    // The hourglass over the whole window while busy, the usual pointers otherwise.
    virtual void ShowBusyPointer(bool busy) = 0;
    // Lets the queued window events run once.
    virtual void YieldToEvents() = 0;
    // True once the program has ended (window closed meanwhile): the run stops at once.
    virtual bool ProgramEnded() const = 0;
};

// Runs one conversion call to its end and passes on its failure. The window runs it on a worker
// thread while its events keep turning; the default calls it directly.
using ConversionRunner = std::function<void(const std::function<void()>& call)>;

struct ExportServices {
    DocumentConverter& converter;
    Dialogs& dialogs;
    QWidget* owner = nullptr;
    QString applicationTitle;
    ConversionRunner runConversion;
};

// The export run behind "Start Exporting To Text": checks the list and the folder, then converts
// every entry in list order into the output folder, reporting a failing document and going on, and
// ends with "Done.".
class ExportRun {
public:
    ExportRun(ExportView& view, ExportServices services);

    // A press while a run is in progress is ignored.
    void Run();
    bool ExportRunning() const { return exportRunning_; }
    // The caption of the run's messages, known once the window has started.
    void SetApplicationTitle(const QString& title) { services_.applicationTitle = title; }

private:
    enum class PassEnd { kNext, kProgramEnded };

    PassEnd RunPass(class HandlerTrap& trap, int i);
    // Throws RuntimeError with the converter's number and description when it fails.
    void Convert(const QString& source, const QString& target);
    void ShowMessage(const QString& text);

    ExportView& view_;
    ExportServices services_;
    bool exportRunning_ = false;
};

// The progress value of pass i when the list holds `count` entries: i / count * 100, rounded half
// to even like an integer property assignment, and kept within the bar's 0..100.
int ProgressValueFor(int i, int count);
