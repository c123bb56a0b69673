// Any text as a configuration file, read through the profile seam as a panel reads its
// section: BuildMFPData fills the tables or reports corruption, and every output it gives goes
// through the trial passes mfp check runs (the runtime's own format and formula code). Nothing
// may crash, hang or trip a sanitizer.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "config/build_mfp_data.h"
#include "os/profile_file.h"
#include "panels/output_rules.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const ProfileText profile(std::string(reinterpret_cast<const char*>(data), size));
    for (const std::string& section : profile.SectionNames()) {
        MFPInputTable inputs;
        MFPOutputList outputs;
        RecordedUserMessages messages;
        const bool built = BuildMFPData(profile, "fuzz.ini", section, inputs, outputs, messages).Built();
        if (built != messages.shown.empty()) std::abort();
        if (built && inputs.size() != kInputCount) std::abort();
        for (const OutputTrial& trial : TryOutputs(outputs))
            if (trial.output >= outputs.size()) std::abort();
    }
    return 0;
}
