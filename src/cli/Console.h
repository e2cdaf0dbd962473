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

// The paths a file argument stands for. Windows' shells pass wildcards on unexpanded, leaving
// them to the program: there an argument holding * or ? stands for the names FindFirstFileExW
// matches with it (files and folders, in the order the system lists them) under the argument's
// own folder part, and for nothing when none matches. Elsewhere the shell has expanded them
// already: the argument as it is.
std::vector<std::string> ExpandFileArgument(const std::string& argument);

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
