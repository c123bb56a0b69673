// Any bytes as an mfp demo script: the parser gives commands within their limits, or says which
// line is wrong; never a crash or a command the runtime could not play.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "tools/mfp/demo/demo_script.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const int panels = 1 + data[0] % 4;
    std::istringstream text(std::string(reinterpret_cast<const char*>(data) + 1, size - 1));
    std::string error;
    const auto commands = ParseDemoScript(text, panels, error);
    if (!commands) {
        if (error.empty()) std::abort();
        return 0;
    }
    for (const DemoCommand& command : *commands) {
        if (command.panel < 1 || command.panel > panels) std::abort();
        using Verb = DemoCommand::Verb;
        if ((command.verb == Verb::Press || command.verb == Verb::Release) &&
            (command.switchNumber < 1 || command.switchNumber > 15))
            std::abort();
        if (command.verb == Verb::Gauge && command.typeCode != 33 && command.typeCode != 14 && command.typeCode != 2)
            std::abort();
        if (command.verb == Verb::Wait && (command.milliseconds < 0 || command.milliseconds > 3600000)) std::abort();
    }
    return 0;
}
