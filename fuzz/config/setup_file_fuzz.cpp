// Any bytes as a panel setup file or a single-event file: reading gives 15 bindings (or one)
// without a crash, and exporting what was read into the same file reads back the same, while
// the file's other sections keep what they held.
#include <cstdio>
#include <string>

#include "config/setup_file.h"
#include "fuzz/config/fuzz_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string& path = WriteFuzzFile(data, size);
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
