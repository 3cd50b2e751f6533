// Runs a program the way a player or the build would, through the shell, and
// keeps what it printed apart: standard output and standard error.
#pragma once

#include <string>

struct ProgramRun {
    int exitCode = -1;  // -1 when the program did not exit normally (a crash)
    std::string out;
    std::string err;

    std::string all() const { return out + err; }  // for failure messages
};

// `program` is quoted for the shell here; `arguments` are shell words as
// written. Runs in the current directory.
ProgramRun runProgram(const std::string& program, const std::string& arguments);
