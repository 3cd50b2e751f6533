#include "tools/synth/sound_set.h"

#include <filesystem>
#include <system_error>

#include "tools/synth/best_times.h"
#include "tools/synth/effects.h"
#include "tools/synth/music.h"
#include "tools/synth/wav_file.h"

namespace synth {

namespace {

struct SoundFile {
    const char* path;
    StereoBuffer (*render)();
};

const SoundFile kSoundFiles[] = {
    {"Sound/BkGnd.mus", renderMusic},
    {"Sound/Button.aud", renderButton},
    {"Sound/Explode.aud", renderExplode},
    {"Sound/Success.aud", renderSuccess},
};

constexpr const char* kBestTimesFile = "config0.bst";

std::string makeFolder(const std::filesystem::path& folder) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    // create_directories reports no error when the path exists, even as a file.
    if (!error && !std::filesystem::is_directory(folder, error))
        error = std::make_error_code(std::errc::not_a_directory);
    if (error) return "cannot make folder " + folder.string() + ": " + error.message();
    return {};
}

}  // namespace

std::vector<std::string> gameSoundFiles() {
    std::vector<std::string> files;
    for (const SoundFile& file : kSoundFiles) files.emplace_back(file.path);
    files.emplace_back(kBestTimesFile);
    return files;
}

std::string writeGameSound(const std::string& folder) {
    if (folder.empty()) return "no output folder given";
    const std::filesystem::path root(folder);
    if (std::string error = makeFolder(root / "Sound"); !error.empty()) return error;
    for (const SoundFile& file : kSoundFiles) {
        const std::string error = writeFileBytes((root / file.path).string(), encodeWav(file.render()));
        if (!error.empty()) return error;
    }
    const std::string text = bestTimesText();
    return writeFileBytes((root / kBestTimesFile).string(), std::vector<std::uint8_t>(text.begin(), text.end()));
}

}  // namespace synth
