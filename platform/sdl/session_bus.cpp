#include "platform/sdl/session_bus.h"

#include <sys/stat.h>

#include <cstdlib>
#include <string>

namespace sdlbackend {

bool sessionBusWouldAutolaunch(const char* address, const char* runtimeDir) {
    if (address != nullptr) return false;
    if (runtimeDir == nullptr || runtimeDir[0] == '\0') return true;
    // libdbus takes anything found there as the bus; so does this check.
    struct stat found {};
    return stat((std::string(runtimeDir) + "/bus").c_str(), &found) != 0;
}

bool avoidSessionBusAutolaunch() {
    if (!sessionBusWouldAutolaunch(std::getenv("DBUS_SESSION_BUS_ADDRESS"), std::getenv("XDG_RUNTIME_DIR")))
        return false;
    return setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/dev/null", 0) == 0;
}

void restoreSessionBus(bool avoided) {
    if (avoided) unsetenv("DBUS_SESSION_BUS_ADDRESS");
}

}  // namespace sdlbackend
