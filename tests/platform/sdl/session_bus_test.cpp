// SDL starts without D-Bus only when libdbus would otherwise autolaunch a bus
// of its own: no address set and no user bus socket in the runtime folder.
#include "platform/sdl/session_bus.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <string>

#include "tests/support/temp_dir.h"

namespace {

TEST(SessionBus, AutolaunchOnlyWithoutAddressOrUserBus) {
    TempDir dir;
    const std::string withBus = dir.path() + "/with-bus";
    const std::string withoutBus = dir.path() + "/without-bus";
    ASSERT_EQ(mkdir(withBus.c_str(), 0700), 0);
    ASSERT_EQ(mkdir(withoutBus.c_str(), 0700), 0);
    const int sock = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socketPath = withBus + "/bus";
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    socketPath.copy(address.sun_path, socketPath.size());
    ASSERT_EQ(bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);

    struct Case {
        const char* name;
        const char* busAddress;
        const char* runtimeDir;
        bool autolaunches;
    };
    for (const Case& c : {
             Case{"address set", "unix:path=/run/user/1000/bus", withoutBus.c_str(), false},
             Case{"address set but empty", "", nullptr, false},  // libdbus takes it as given
             Case{"user bus in the runtime folder", nullptr, withBus.c_str(), false},
             Case{"runtime folder without a bus", nullptr, withoutBus.c_str(), true},
             Case{"no runtime folder", nullptr, nullptr, true},
             Case{"empty runtime folder name", nullptr, "", true},
         }) {
        EXPECT_EQ(sdlbackend::sessionBusWouldAutolaunch(c.busAddress, c.runtimeDir), c.autolaunches) << c.name;
    }
    close(sock);
}

}  // namespace
