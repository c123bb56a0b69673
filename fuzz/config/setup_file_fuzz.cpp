// Any bytes as a panel setup file or a single-event file: reading gives 15 bindings (or one)
// without a crash, and exporting what was read into the same file reads back the same, while
// the file's other sections keep what they held.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "config/setup_file.h"

namespace {

const std::string& FuzzFilePath() {
    static const std::string path =
        (std::filesystem::temp_directory_path() / ("mfp_setup_fuzz_" + std::to_string(std::random_device{}()) + ".ini")).string();
    return path;
}

void Require(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string& path = FuzzFilePath();
    if (std::FILE* file = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, file);
        std::fclose(file);
    }
    SimProfileFile profile;
    const std::string otherBefore = profile.GetString("Other", "k", "-", 260, path);
    const auto choices = ReadPanelSetup(profile, path);
    const EventChoice single = ReadSingleEvent(profile, path);

    std::vector<InputRow> rows;
    for (const EventChoice& choice : choices) rows.push_back({choice.eventId, std::to_string(choice.value)});
    Require(WritePanelSetup(profile, path, rows));
    Require(WriteSingleEvent(profile, path, {single.eventId, std::to_string(single.value)}));
    Require(ReadPanelSetup(profile, path) == choices);
    Require(ReadSingleEvent(profile, path) == single);
    Require(profile.GetString("Other", "k", "-", 260, path) == otherBefore);
    std::remove(path.c_str());
    return 0;
}
