// Headless message boxes (recorded, and written to standard error as the
// real ones are) and the real ends of the process.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "platform/common/sound_file_check.h"
#include "platform/headless/headless_state.h"

namespace headless {

const std::vector<MessageBox>& messageBoxes() {
    return state().messageBoxes;
}
int lastExitCode() {
    return state().lastExitCode;
}

}  // namespace headless

namespace platform {

void showMessageBox(const char* caption, const char* text) {
    headless::state().messageBoxes.push_back({caption != nullptr ? caption : "", text != nullptr ? text : ""});
    writeMessageToStderr(caption, text);
}

void exitProcessNow(int code) {
    headless::state().lastExitCode = code;
    // _exit skips the stdio buffers, and a death test reads what was printed.
    std::fflush(stdout);
    std::fflush(stderr);
    _exit(code & 0xFF);
}

void exitProcessNormally(int code) {
    headless::state().lastExitCode = code;
    std::exit(code);
}

}  // namespace platform
