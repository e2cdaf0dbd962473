#pragma once

// The command line and the console as the system has them (ConsolePosix.cpp, ConsoleWin32.cpp).

#include <atomic>
#include <cstdio>
#include <string>
#include <vector>

namespace corvanel::cli {

// The program's arguments (without its name) in UTF-8: as given here; on Windows read again as
// UTF-16 from the system, since main's own are in the ANSI code page.
std::vector<std::string> ProgramArguments(int argc, char** argv);

// Standard input and output carry bytes exactly as written (no CRLF translation of records or
// texts), and a console shows UTF-8 as such.
void PrepareStandardStreams();

bool IsTerminal(std::FILE* stream);

// While it lasts, an interrupt (Ctrl+C; SIGINT or SIGTERM) sets `stop`: the documents under way
// are finished and nothing more is begun. A second one ends the program at once. A reader gone
// from a pipe makes writes fail instead of ending the program.
class InterruptScope {
public:
    explicit InterruptScope(std::atomic<bool>& stop);
    ~InterruptScope();
    InterruptScope(const InterruptScope&) = delete;
    InterruptScope& operator=(const InterruptScope&) = delete;
};

}  // namespace corvanel::cli
