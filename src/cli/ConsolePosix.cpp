#include "cli/Console.h"

#include <csignal>

#include <unistd.h>

namespace corvanel::cli {

namespace {

std::atomic<bool>* stopFlag = nullptr;

// The first interrupt lets the documents under way finish; a second one ends the program.
extern "C" void RequestStop(int signal) {
    if (stopFlag != nullptr) {
        *stopFlag = true;
    }
    std::signal(signal, SIG_DFL);
}

}  // namespace

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    return {argv + 1, argv + argc};
}

std::vector<std::string> ExpandFileArgument(const std::string& argument) {
    return {argument};
}

void PrepareStandardStreams() {}

bool IsTerminal(std::FILE* stream) {
    return isatty(fileno(stream)) != 0;
}

InterruptScope::InterruptScope(std::atomic<bool>& stop) {
    stopFlag = &stop;
    std::signal(SIGINT, RequestStop);
    std::signal(SIGTERM, RequestStop);
    std::signal(SIGPIPE, SIG_IGN);
}

InterruptScope::~InterruptScope() {
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    std::signal(SIGPIPE, SIG_DFL);
    stopFlag = nullptr;
}

}  // namespace corvanel::cli
