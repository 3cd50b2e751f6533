#include "tests/support/program_run.h"

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "tests/support/temp_dir.h"

namespace {

std::string contentsOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

ProgramRun runProgram(const std::string& program, const std::string& arguments) {
    // The captures live in a folder of their own, so the program's own
    // folder holds only what it wrote.
    const TempDir captures(TempDir::Cwd::Keep);
    const std::string command = "'" + program + "' " + arguments + " >'" + captures.file("out") + "' 2>'" +
                                captures.file("err") + "'";
    const int status = std::system(command.c_str());
    ProgramRun run;
    if (status != -1 && WIFEXITED(status)) run.exitCode = WEXITSTATUS(status);
    run.out = contentsOf(captures.file("out"));
    run.err = contentsOf(captures.file("err"));
    return run;
}
