// The synth program as the build runs it: its exit codes and messages for bad
// usage and unwritable output, and a complete run into a new folder.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/program_run.h"
#include "tests/support/temp_dir.h"
#include "tests/tools/synth/wav_reader.h"
#include "tools/synth/sound_set.h"
#include "tools/synth/wav_file.h"

namespace {

// Runs the synth tool with `arguments` (already quoted for the shell).
ProgramRun runTool(const std::string& arguments) { return runProgram(QM_SYNTH_TOOL, arguments); }

}  // namespace

TEST(SynthTool, BadUsageExitsWithCode2AndUsage) {
    for (const char* arguments : {"", "''", "a b"}) {
        const ProgramRun run = runTool(arguments);
        EXPECT_EQ(run.exitCode, 2) << "arguments: " << arguments;
        EXPECT_EQ(run.err, "usage: synth OUTPUT_FOLDER\n") << "arguments: " << arguments;
    }
}

TEST(SynthTool, UnwritableOutputExitsWithCode1AndNamesThePath) {
    TempDir scratch(TempDir::Cwd::Keep);
    ASSERT_EQ(synth::writeFileBytes(scratch.file("plain"), {1}), "");
    const ProgramRun run = runTool("'" + scratch.file("plain") + "'");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err.rfind("synth: cannot make folder " + scratch.file("plain"), 0), 0u) << run.err;
}

TEST(SynthTool, WritesEveryFileIntoANewFolder) {
    TempDir scratch(TempDir::Cwd::Keep);
    const std::string out = scratch.file("new/run");
    const ProgramRun run = runTool("'" + out + "'");
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");
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
