#include "export/ExportRun.h"

#include "convert/core/OutputNaming.h"
#include "export/Word1.h"
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
    if (exportRunning_) {  // 100
        return;
    }
    HandlerTrap trap(services_.dialogs, services_.owner, HandlerTags::kPushButton2);
    exportRunning_ = true;  // 102

    if (trap.Condition(104, [&] { return view_.DocumentCount() == 0; })) {
        trap.Step(158, [&] { ShowMessage(QStringLiteral("No files added.")); });
    } else if (trap.Condition(
                   106, [&] { return !Globals::IsExistingFolder(view_.OutputFolderText()); })) {
        trap.Step(156, [&] {
            ShowMessage(QStringLiteral("Folder does not exist. Please select another folder."));
        });
    } else if (!trap.Condition(108, [&] {
                   return Word1::ShouldStopForOpenWord(services_.converter, services_.dialogs,
                                                       services_.owner, services_.applicationTitle);
               })) {
        int n = 0;
        trap.Step(110, [&] { n = view_.DocumentCount(); });
        for (int i = 1; i <= n; ++i) {
            if (RunPass(trap, i) == PassEnd::kProgramEnded) {
                return;  // the window was closed: the program is gone, nothing more runs
            }
        }
        trap.Step(148, [&] { view_.SetMousePointer(kPointerDefault); });
        trap.Step(150, [&] { view_.SetProgressValue(0); });
        trap.Step(152, [&] { view_.SetProgressText(QStringLiteral("Progress Bar")); });
        trap.Step(154, [&] { ShowMessage(QStringLiteral("Done.")); });
    }
    exportRunning_ = false;  // 160
}

ExportRun::PassEnd ExportRun::RunPass(HandlerTrap& trap, int i) {
    // A pass whose entry is gone or whose name yields no text file name is reported once and
    // skipped to its last step: converting anything else in its place would be wrong.
    QString source;
    const bool haveSource = trap.Step(112, [&] {
        if (i > view_.DocumentCount()) {
            throw RuntimeError(ErrorNumbers::kSubscriptOutOfRange,
                               QStringLiteral("Document %1 of this export is no longer in the "
                                              "list: the list was shortened during the export.")
                                   .arg(i));
        }
        source = view_.DocumentText(i);
    });
    if (haveSource) {
        trap.Step(114, [&] { view_.SetProgressValue(ProgressValueFor(i, view_.DocumentCount())); });
        trap.Step(116, [&] {
            view_.SetProgressText(QStringLiteral("Processing: ") +
                                  Globals::FileNameFromPath(source));
        });
        trap.Step(118, [&] { view_.YieldToEvents(); });
        if (view_.ProgramEnded()) {
            return PassEnd::kProgramEnded;
        }
        trap.Step(120, [&] { view_.SetMousePointer(kPointerHourglass); });

        QString outputName;
        if (trap.Step(136,
                      [&] { outputName = OutputNameFor(Globals::FileNameFromPath(source)); })) {
            QString target;
            trap.Step(138,
                      [&] { target = view_.OutputFolderText() + PathSeparator() + outputName; });
            trap.Step(140, [&] { target = Globals::NormalizePath(target); });
            trap.Step(142, [&] {
                auto convert = [&] {
                    Word1::SaveDocumentAsText(services_.converter, source, target);
                };
                if (services_.runConversion) {
                    services_.runConversion(convert);
                } else {
                    convert();
                }
            });
            if (view_.ProgramEnded()) {
                return PassEnd::kProgramEnded;
            }
        }
    }
    trap.Step(144, [&] { view_.SetMousePointer(kPointerHourglass); });
    return PassEnd::kNext;
}
