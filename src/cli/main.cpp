// corvanel-convert: converts documents into plain-text files from the command line.
#include "cli/CommandLine.h"
#include "convert/core/TimeZonePin.h"

#include <cstdio>

int main(int argc, char** argv) {
    corvanel::convert::PinLocalTimeZone();
    return corvanel::cli::RunCommandLine({argv + 1, argv + argc}, stdout, stderr);
}
