// corvanel-convert: converts documents into plain-text files from the command line.
#include "cli/CommandLine.h"
#include "convert/core/ProcessTuning.h"

#include <cstdio>

int main(int argc, char** argv) {
    corvanel::convert::TuneProcessForConversions();
    return corvanel::cli::RunCommandLine({argv + 1, argv + argc}, stdout, stderr);
}
