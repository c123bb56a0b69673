#include "tools/mfp/demo/demo_script.h"

#include <optional>
#include <sstream>

#include "catalogue/gauge_variables.h"

namespace {

bool ReadInteger(const std::string& word, long long low, long long high, long long& number) {
    std::size_t used = 0;
    try {
        number = std::stoll(word, &used, 10);
    } catch (const std::exception&) {
        return false;
    }
    return used == word.size() && number >= low && number <= high;
}

bool ReadNumber(const std::string& word, double& number) {
    std::size_t used = 0;
    try {
        number = std::stod(word, &used);
    } catch (const std::exception&) {
        return false;
    }
    return used == word.size();
}

// One line's words into a command; the text of what is wrong otherwise.
std::string ParseCommand(const std::vector<std::string>& words, int panelCount,
                         DemoCommand& command) {
    using Verb = DemoCommand::Verb;
    const std::string& verb = words[0];
    const std::size_t count = words.size();
    long long number = 0;
    auto readPanel = [&](std::size_t index) -> std::string {
        if (count <= index) return "";
        if (count > index + 1) return "too many words";
        if (!ReadInteger(words[index], 1, panelCount, number))
            return "no panel " + words[index] + " (there are " + std::to_string(panelCount) + ")";
        command.panel = static_cast<int>(number);
        return "";
    };
    if (verb == "press" || verb == "release") {
        command.verb = verb == "press" ? Verb::Press : Verb::Release;
        if (count < 2 || words[1].rfind("SW", 0) != 0 ||
            !ReadInteger(words[1].substr(2), 1, 15, number))
            return "expected SW1 to SW15";
        command.switchNumber = static_cast<int>(number);
        return readPanel(2);
    }
    if (verb == "gauge") {
        command.verb = Verb::Gauge;
        if (count < 3 || count > 4) return "expected gauge ID VALUE [TYPE]";
        // The id as a number, or FS2004's name of the variable in any case.
        if (const std::optional<int> named = GaugeVariableNumber(words[1])) number = *named;
        else if (!ReadInteger(words[1], 0, 0xFFFFFFFFLL, number)) return "bad gauge id " + words[1];
        command.gauge = static_cast<uint32_t>(number);
        if (!ReadNumber(words[2], command.value)) return "bad value " + words[2];
        if (count == 4) {
            if (!ReadInteger(words[3], 0, 255, number) ||
                (number != 2 && number != 14 && number != 33))
                return "type must be 2, 14 or 33";
            command.typeCode = static_cast<uint32_t>(number);
        }
        return "";
    }
    if (verb == "wait") {
        command.verb = Verb::Wait;
        if (count != 2 || !ReadInteger(words[1], 0, 3600000, number)) return "expected wait MS";
        command.milliseconds = static_cast<int>(number);
        return "";
    }
    if (verb == "view") {
        if (count == 2 && words[1] == "off") command.verb = Verb::ViewOff;
        else if (count == 2 && words[1] == "on") command.verb = Verb::ViewOn;
        else return "expected view on or view off";
        return "";
    }
    if (verb == "unplug" || verb == "plug") {
        command.verb = verb == "plug" ? Verb::Plug : Verb::Unplug;
        return readPanel(1);
    }
    if (verb == "show") {
        command.verb = Verb::Show;
        return count == 1 ? "" : "show takes nothing";
    }
    return "unknown command " + verb;
}

}  // namespace

std::optional<std::vector<DemoCommand>> ParseDemoScript(std::istream& text, int panelCount,
                                                        std::string& error) {
    std::vector<DemoCommand> commands;
    int lineNumber = 0;
    for (std::string line; std::getline(text, line);) {
        ++lineNumber;
        std::istringstream stream(line.substr(0, line.find('#')));
        std::vector<std::string> words;
        for (std::string word; stream >> word;) words.push_back(word);
        if (words.empty()) continue;
        DemoCommand command;
        const std::string problem = ParseCommand(words, panelCount, command);
        if (!problem.empty()) {
            error = "line " + std::to_string(lineNumber) + ": " + problem;
            return std::nullopt;
        }
        commands.push_back(command);
    }
    return commands;
}
