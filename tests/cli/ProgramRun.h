#pragma once

// Runs the real corvanel-convert from the tests, its output captured in files.

#include "TestZip.h"

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace corvanel::cli::testing {

struct RunOutcome {
    int status = -1;
    std::string out;
    std::string err;
};

inline std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

inline std::string Quoted(const std::string& arg) {
    std::string q = "'";
    for (const char c : arg) {
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return q + "'";
}

// The program and its arguments as one shell word list.
inline std::string ProgramCommand(const std::vector<std::string>& args) {
    std::string command = Quoted(CORVANEL_CONVERT_PROGRAM);
    for (const std::string& arg : args) {
        command += " " + Quoted(arg);
    }
    return command;
}

// Runs a shell command; standard output and error go to files in `scratch`.
inline RunOutcome RunShell(const convert::testing::TemporaryFolder& scratch,
                           const std::string& command, const std::string& input = "/dev/null") {
    const std::string out = scratch.File("stdout"), err = scratch.File("stderr");
    const std::string full =
        "{ " + command + " ; } >" + Quoted(out) + " 2>" + Quoted(err) + " <" + Quoted(input);
    const int raw = std::system(full.c_str());
    RunOutcome r;
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = ReadAll(out);
    r.err = ReadAll(err);
    return r;
}

inline RunOutcome RunProgram(const convert::testing::TemporaryFolder& scratch,
                             const std::vector<std::string>& args) {
    return RunShell(scratch, ProgramCommand(args));
}

}  // namespace corvanel::cli::testing
