// corvanel-convert: converts documents into plain-text files from the command line.
#include "cli/CommandLine.h"
#include "cli/Console.h"
#include "cli/Supervisor.h"
#include "isolation/JobWorker.h"
#include "system/ProcessTuning.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    corvanel::system::TuneProcessForConversions();
    if (argc == 2 && std::strcmp(argv[1], corvanel::isolation::kWorkerArgument) == 0) {
        return corvanel::isolation::ServeJobs();
    }
    corvanel::cli::PrepareStandardStreams();
    return corvanel::cli::RunCommandLine(corvanel::cli::ProgramArguments(argc, argv), stdout,
                                         stderr);
}
