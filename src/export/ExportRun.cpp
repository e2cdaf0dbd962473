#include "export/ExportRun.h"

#include "convert/core/OutputNaming.h"
#include "export/DocumentConverter.h"
#include "platform/Dialogs.h"
#include "platform/Globals.h"
#include "platform/HandlerTrap.h"
#include "platform/RuntimeError.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <utility>

namespace {

// The text file's name: the document's file name with its last extension replaced by "txt".
QString OutputNameFor(const QString& fileName) {
    const std::optional<std::string> name =
        corvanel::convert::TextFileNameFor(fileName.toStdString());
    if (!name) {
        throw RuntimeError(ErrorNumbers::kInvalidProcedureCall,
                           QStringLiteral("No text file name can be made for \"%1\": the name "
                                          "has no \".\" before an extension to replace. The "
                                          "document was skipped; rename it to export it.")
                               .arg(fileName));
    }
    return QString::fromStdString(*name);
}

// The export's steps, as its failure reports quote them.
namespace Step {
constexpr int kCheckList = 104;
constexpr int kCheckFolder = 106;
constexpr int kCountDocuments = 110;
constexpr int kReadEntry = 112;
constexpr int kShowProgress = 114;
constexpr int kShowDocumentName = 116;
constexpr int kYield = 118;
constexpr int kShowBusy = 120;
constexpr int kMakeTextFileName = 136;
constexpr int kJoinTarget = 138;
constexpr int kNormalizeTarget = 140;
constexpr int kConvert = 142;
constexpr int kShowBusyAgain = 144;
constexpr int kShowIdle = 148;
constexpr int kResetProgress = 150;
constexpr int kResetProgressText = 152;
constexpr int kSayDone = 154;
constexpr int kSayNoFolder = 156;
constexpr int kSayNoFiles = 158;
}  // namespace Step

}  // namespace

int ProgressValueFor(int i, int count) {
    if (count <= 0) {
        return 0;
    }
    const double percent = static_cast<double>(i) / count * 100.0;
    return static_cast<int>(std::clamp(std::nearbyint(percent), 0.0, 100.0));
}

ExportRun::ExportRun(ExportView& view, ExportServices services)
    : view_(view), services_(std::move(services)) {}

void ExportRun::ShowMessage(const QString& text) {
    MessageRequest message;
    message.text = text;
    message.caption = services_.applicationTitle;
    services_.dialogs.ShowMessage(services_.owner, message);
}

void ExportRun::Run() {
    if (exportRunning_) {
        return;
    }
    HandlerTrap trap(services_.dialogs, services_.owner, HandlerTags::kStartExport);
    exportRunning_ = true;

    if (trap.Condition(Step::kCheckList, [&] { return view_.DocumentCount() == 0; })) {
        trap.Step(Step::kSayNoFiles, [&] { ShowMessage(QStringLiteral("No files added.")); });
    } else if (trap.Condition(Step::kCheckFolder, [&] {
                   return !Globals::IsExistingFolder(view_.OutputFolderText());
               })) {
        trap.Step(Step::kSayNoFolder, [&] {
            ShowMessage(QStringLiteral("Folder does not exist. Please select another folder."));
        });
    } else {
        int n = 0;
        trap.Step(Step::kCountDocuments, [&] { n = view_.DocumentCount(); });
        for (int i = 1; i <= n; ++i) {
            if (RunPass(trap, i) == PassEnd::kProgramEnded) {
                return;  // the window was closed: the program is gone, nothing more runs
            }
        }
        trap.Step(Step::kShowIdle, [&] { view_.ShowBusyPointer(false); });
        trap.Step(Step::kResetProgress, [&] { view_.SetProgressValue(0); });
        trap.Step(Step::kResetProgressText,
                  [&] { view_.SetProgressText(QStringLiteral("Progress Bar")); });
        trap.Step(Step::kSayDone, [&] { ShowMessage(QStringLiteral("Done.")); });
    }
    exportRunning_ = false;
}

ExportRun::PassEnd ExportRun::RunPass(HandlerTrap& trap, int i) {
    // A pass whose entry is gone or whose name yields no text file name is reported once and
    // skipped to its last step: converting anything else in its place would be wrong.
    QString source;
    const bool haveSource = trap.Step(Step::kReadEntry, [&] {
        if (i > view_.DocumentCount()) {
            throw RuntimeError(ErrorNumbers::kSubscriptOutOfRange,
                               QStringLiteral("Document %1 of this export is no longer in the "
                                              "list: the list was shortened during the export.")
                                   .arg(i));
        }
        source = view_.DocumentText(i);
    });
    if (haveSource) {
        trap.Step(Step::kShowProgress,
                  [&] { view_.SetProgressValue(ProgressValueFor(i, view_.DocumentCount())); });
        trap.Step(Step::kShowDocumentName, [&] {
            view_.SetProgressText(QStringLiteral("Processing: ") +
                                  Globals::FileNameFromPath(source));
        });
        trap.Step(Step::kYield, [&] { view_.YieldToEvents(); });
        if (view_.ProgramEnded()) {
            return PassEnd::kProgramEnded;
        }
        trap.Step(Step::kShowBusy, [&] { view_.ShowBusyPointer(true); });

        QString outputName;
        if (trap.Step(Step::kMakeTextFileName,
                      [&] { outputName = OutputNameFor(Globals::FileNameFromPath(source)); })) {
            QString target;
            trap.Step(Step::kJoinTarget,
                      [&] { target = view_.OutputFolderText() + PathSeparator() + outputName; });
            trap.Step(Step::kNormalizeTarget, [&] { target = Globals::NormalizePath(target); });
            trap.Step(Step::kConvert, [&] { Convert(source, target); });
            if (view_.ProgramEnded()) {
                return PassEnd::kProgramEnded;
            }
        }
    }
    trap.Step(Step::kShowBusyAgain, [&] { view_.ShowBusyPointer(true); });
    return PassEnd::kNext;
}

void ExportRun::Convert(const QString& source, const QString& target) {
    ConversionOutcome outcome;
    const auto convert = [&] { outcome = services_.converter.Convert(source, target); };
    if (services_.runConversion) {
        services_.runConversion(convert);
    } else {
        convert();
    }
    if (!outcome.Converted()) {
        throw RuntimeError(outcome.number, outcome.description);
    }
}
