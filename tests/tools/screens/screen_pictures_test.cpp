// The pictures of every screen in docs/screens against the game as it is
// now: a stale picture fails, and the comparison itself names what differs.
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>

#include "tests/tools/imagegen/art_files.h"
#include "tests/support/temp_dir.h"
#include "tools/screens/screen_tour.h"

namespace art {
namespace {

namespace fs = std::filesystem;

struct ToolRun {
    int exitCode;
    std::string output;
};

ToolRun runScreensTool(const std::string& arguments) {
    std::string command = std::string(QM_SCREENS_TOOL) + " " + arguments + " 2>&1";
    ToolRun run{-1, ""};
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[256];
    while (size_t n = fread(buffer, 1, sizeof buffer, pipe)) run.output.append(buffer, n);
    int status = pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

TEST(ScreenPictures, MatchTheGameAsItIsNow) {
    TempDir dir;
    ToolRun drawn = runScreensTool(std::string(QM_RUN_DIR) + " " + dir.file("screens"));
    ASSERT_EQ(drawn.exitCode, 0) << drawn.output;
    ToolRun compared = runScreensTool("--compare " + dir.file("screens") + " " QM_DOCS_SCREENS);
    EXPECT_EQ(compared.exitCode, 0) << compared.output
                                    << "redraw them with: cmake --build <build folder> --target screens";
}

TEST(ScreenPictures, ComparisonNamesChangedAndMissingPictures) {
    TempDir dir;
    fs::copy(QM_DOCS_SCREENS, dir.file("copy"));
    fs::copy_file(dir.file("copy/main_menu.png"), dir.file("copy/options.png"), fs::copy_options::overwrite_existing);
    fs::remove(dir.file("copy/won.png"));
    ToolRun run = runScreensTool("--compare " + dir.file("copy") + " " QM_DOCS_SCREENS);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find("options.png differs"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("won.png"), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("help.png"), std::string::npos) << "an unchanged picture is not named\n" << run.output;
}

TEST(ScreenPictures, ToolRefusesAWrongCommandLineAndAMissingRunFolder) {
    EXPECT_EQ(runScreensTool("").exitCode, 2);
    EXPECT_EQ(runScreensTool("--compare onlyone").exitCode, 2);
    TempDir dir;
    ToolRun run = runScreensTool(dir.file("no-such-folder") + " " + dir.file("out"));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find("no-such-folder"), std::string::npos) << run.output;
}

}  // namespace
}  // namespace art
