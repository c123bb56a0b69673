// Any bytes as a configuration file: reading never fails, BuildMFPData never crashes, and
// writing one key reads back as written while every other key reads as before.
#include <cstdio>
#include <string>
#include <vector>

#include "config/build_mfp_data.h"
#include "fuzz/config/fuzz_file.h"
#include "os/profile_file.h"

namespace {

struct Probe {
    const char* section;
    const char* key;
};
const Probe kOtherKeys[] = {{"Misc", "Debug"}, {"B2", "Inputs"}, {"B1", "outputs"}, {"", "top"}};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string& path = WriteFuzzFile(data, size);
    const SimProfileFile profile;
    std::vector<std::string> before;
    for (const Probe& probe : kOtherKeys) before.push_back(profile.GetString(probe.section, probe.key, "-", 519, path));

    MFPInputTable inputs;
    MFPOutputList outputs;
    RecordedUserMessages messages;
    const bool built = BuildMFPData(profile, path, "B1", inputs, outputs, messages).Built();
    Require(built == messages.shown.empty());

    Require(profile.WriteString("B1", "Inputs", "1A2B,5", path));
    Require(profile.GetString("B1", "Inputs", "-", 519, path) == "1A2B,5");
    for (std::size_t i = 0; i < before.size(); ++i)
        Require(profile.GetString(kOtherKeys[i].section, kOtherKeys[i].key, "-", 519, path) == before[i]);
    std::remove(path.c_str());
    return 0;
}
