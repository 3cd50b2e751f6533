// The pictures of every screen in docs/screens against the game as it is
// now: a stale picture fails, and the comparison itself names what differs.
#include <filesystem>

#include "tests/tools/imagegen/art_files.h"
#include "tests/support/program_run.h"
#include "tests/support/temp_dir.h"
#include "tools/screens/screen_tour.h"

namespace art {
namespace {

namespace fs = std::filesystem;

ProgramRun runScreensTool(const std::string& arguments) { return runProgram(QM_SCREENS_TOOL, arguments); }

TEST(ScreenPictures, MatchTheGameAsItIsNow) {
    TempDir dir;
    ProgramRun drawn = runScreensTool(std::string(QM_RUN_DIR) + " " + dir.file("screens"));
    ASSERT_EQ(drawn.exitCode, 0) << drawn.all();
    ProgramRun compared = runScreensTool("--compare " + dir.file("screens") + " " QM_DOCS_SCREENS);
    EXPECT_EQ(compared.exitCode, 0) << compared.all()
                                    << "redraw them with: cmake --build <build folder> --target screens";
}

TEST(ScreenPictures, ComparisonNamesChangedAndMissingPictures) {
    TempDir dir;
    fs::copy(QM_DOCS_SCREENS, dir.file("copy"));
    fs::copy_file(dir.file("copy/main_menu.png"), dir.file("copy/options.png"), fs::copy_options::overwrite_existing);
    fs::remove(dir.file("copy/won.png"));
    ProgramRun run = runScreensTool("--compare " + dir.file("copy") + " " QM_DOCS_SCREENS);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.all().find("options.png differs"), std::string::npos) << run.all();
    EXPECT_NE(run.all().find("won.png"), std::string::npos) << run.all();
    EXPECT_EQ(run.all().find("help.png"), std::string::npos) << "an unchanged picture is not named\n" << run.all();
}

TEST(ScreenPictures, ToolRefusesAWrongCommandLineAndAMissingRunFolder) {
    EXPECT_EQ(runScreensTool("").exitCode, 2);
    EXPECT_EQ(runScreensTool("--compare onlyone").exitCode, 2);
    TempDir dir;
    ProgramRun run = runScreensTool(dir.file("no-such-folder") + " " + dir.file("out"));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.all().find("no-such-folder"), std::string::npos) << run.all();
}

}  // namespace
}  // namespace art
