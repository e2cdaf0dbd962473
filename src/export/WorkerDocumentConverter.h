#pragma once

#include "export/DocumentConverter.h"
#include "isolation/SingleWorker.h"

#include <string>

// Corvanel's own converter, run in a worker process: a document that outlives the time limit,
// needs more than the memory limit or crashes its reader fails like any other document (its
// worker is killed or found dead and a fresh one takes the next document), and the window goes
// on. One document at a time, as the export asks for them.
class WorkerDocumentConverter : public DocumentConverter {
public:
    // `program` is started with isolation::kWorkerArgument: this program itself by default.
    explicit WorkerDocumentConverter(
        std::string program = corvanel::isolation::ThisProgram(),
        corvanel::isolation::IsolationLimits limits = corvanel::isolation::IsolationLimits());

    ConverterAvailability Availability() override { return {}; }
    ConversionOutcome Convert(const QString& source, const QString& target) override;

    // Ends the worker at once, also in the middle of a document (the window is closing).
    void Stop() { worker_.Stop(); }

private:
    corvanel::isolation::SingleWorker worker_;
};
