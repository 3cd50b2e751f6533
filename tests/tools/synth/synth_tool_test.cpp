// The synth program as the build runs it: its exit codes and messages for bad
// usage and unwritable output, and a complete run into a new folder.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

#include "tests/support/temp_dir.h"
#include "tests/tools/synth/wav_reader.h"
#include "tools/synth/sound_set.h"
#include "tools/synth/wav_file.h"

namespace {

struct ToolRun {
    int exitCode = -1;
    std::string stderrText;
};

// Runs the synth tool with `arguments` (already quoted for the shell).
ToolRun runTool(const TempDir& scratch, const std::string& arguments) {
    const std::string errFile = scratch.file("stderr.txt");
    const std::string command = std::string("'") + QM_SYNTH_TOOL + "' " + arguments + " 2>'" + errFile + "'";
    const int status = std::system(command.c_str());
    ToolRun run;
    if (status != -1 && WIFEXITED(status)) run.exitCode = WEXITSTATUS(status);
    const auto bytes = readBytes(errFile);
    run.stderrText.assign(bytes.begin(), bytes.end());
    return run;
}

}  // namespace

TEST(SynthTool, BadUsageExitsWithCode2AndUsage) {
    TempDir scratch(TempDir::Cwd::Keep);
    for (const char* arguments : {"", "''", "a b"}) {
        const ToolRun run = runTool(scratch, arguments);
        EXPECT_EQ(run.exitCode, 2) << "arguments: " << arguments;
        EXPECT_EQ(run.stderrText, "usage: synth OUTPUT_FOLDER\n") << "arguments: " << arguments;
    }
}

TEST(SynthTool, UnwritableOutputExitsWithCode1AndNamesThePath) {
    TempDir scratch(TempDir::Cwd::Keep);
    ASSERT_EQ(synth::writeFileBytes(scratch.file("plain"), {1}), "");
    const ToolRun run = runTool(scratch, "'" + scratch.file("plain") + "'");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.stderrText.rfind("synth: cannot make folder " + scratch.file("plain"), 0), 0u) << run.stderrText;
}

TEST(SynthTool, WritesEveryFileIntoANewFolder) {
    TempDir scratch(TempDir::Cwd::Keep);
    const std::string out = scratch.file("new/run");
    const ToolRun run = runTool(scratch, "'" + out + "'");
    EXPECT_EQ(run.exitCode, 0) << run.stderrText;
    EXPECT_EQ(run.stderrText, "");
    for (const std::string& file : synth::gameSoundFiles())
        EXPECT_TRUE(std::filesystem::is_regular_file(out + "/" + file)) << file;
}

TEST(SoundSet, ReportsTheFileOrFolderThatCannotBeWritten) {
    EXPECT_EQ(synth::writeGameSound(""), "no output folder given");

    TempDir soundIsAFile(TempDir::Cwd::Keep);
    ASSERT_EQ(synth::writeFileBytes(soundIsAFile.file("Sound"), {1}), "");
    const std::string folderError = synth::writeGameSound(soundIsAFile.path());
    EXPECT_NE(folderError.find("cannot make folder " + soundIsAFile.file("Sound")), std::string::npos) << folderError;

    TempDir bestTimesIsAFolder(TempDir::Cwd::Keep);
    std::filesystem::create_directories(bestTimesIsAFolder.file("config0.bst"));
    const std::string fileError = synth::writeGameSound(bestTimesIsAFolder.path());
    EXPECT_NE(fileError.find("cannot create " + bestTimesIsAFolder.file("config0.bst")), std::string::npos)
        << fileError;
}
