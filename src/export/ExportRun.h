#pragma once

#include <QString>

#include <functional>

class Dialogs;
class DocumentConverter;
class QWidget;

// What the export run reads and drives on the window: the document list, the output folder box,
// the progress bar, the pointer shape and the event queue. Form1 implements it; tests use a fake.
class ExportView {
public:
    virtual ~ExportView() = default;

    virtual int DocumentCount() const = 0;
    // The text of entry `position` (1-based); throws RuntimeError when there is none.
    virtual QString DocumentText(int position) const = 0;
    virtual QString OutputFolderText() const = 0;
    virtual void SetProgressValue(int value) = 0;
    virtual void SetProgressText(const QString& text) = 0;
    // 0 default arrow, 11 hourglass.
    virtual void SetMousePointer(int pointer) = 0;
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

inline constexpr int kPointerDefault = 0;
inline constexpr int kPointerHourglass = 11;
inline constexpr int kPointerCustom = 99;

// The export run behind "Start Exporting To Text": checks the list, the folder and a conflicting
// converter instance, then converts every entry in list order into the output folder, reporting a
// failing document and going on, and ends with "Done.".
class ExportRun {
public:
    ExportRun(ExportView& view, ExportServices services);

    // PushButton2_Click. A press while a run is in progress is ignored.
    void Run();
    bool ExportRunning() const { return exportRunning_; }
    // The caption of the run's messages, known once the window has started.
    void SetApplicationTitle(const QString& title) { services_.applicationTitle = title; }

private:
    enum class PassEnd { kNext, kProgramEnded };

    PassEnd RunPass(class HandlerTrap& trap, int i);
    void ShowMessage(const QString& text);

    ExportView& view_;
    ExportServices services_;
    bool exportRunning_ = false;
};

// The progress value of pass i when the list holds `count` entries: i / count * 100, rounded half
// to even like an integer property assignment, and kept within the bar's 0..100.
int ProgressValueFor(int i, int count);
