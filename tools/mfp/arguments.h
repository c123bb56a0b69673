// How every mfp command reads its arguments, so that all of them behave alike: options are
// "--NAME", some with the next argument as their value; "--" ends the options; "--help" prints
// the command's help (exit 0); a wrong argument prints "mfp COMMAND: ARGUMENT: why" and the
// usage line (exit 2).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

using Arguments = std::vector<std::string>;

struct CommandHelp {
    const char* name;      // "events"
    const char* synopsis;  // what follows "mfp events" in the usage line
    const char* summary;   // one line for "mfp help"
    const char* options;   // "mfp events --help": each option, a line or more each
    const char* notes;     // what else the help says, after the options; may be empty
};

// Every command's help, in the order "mfp help" lists them.
const std::vector<CommandHelp>& AllCommandHelp();
const CommandHelp* FindCommandHelp(std::string_view command);
void PrintCommandHelp(const CommandHelp& help);

// Why a file named on the command line cannot be read ("is a directory", the system's reason),
// or nothing when it can.
std::string UnreadableFile(const std::string& path);

// Typical use:
//   ArgumentReader reader("events", args);
//   while (reader.Next()) {
//       if (reader.Is("--json")) json = true;
//       else if (reader.Is("--search")) search = reader.Value().value_or("");
//       else reader.Unexpected();
//   }
//   if (const auto status = reader.Finish()) return *status;
class ArgumentReader {
public:
    // With operandsEndOptions the first operand also ends the options ("mfp eval 1 --5").
    ArgumentReader(std::string_view command, const Arguments& args, bool operandsEndOptions = false);

    // Steps to the next argument; false at the end, after "--help" and after an error.
    bool Next();
    // The current argument is this option.
    bool Is(std::string_view option) const;
    // The current argument is an operand (not an option).
    bool IsOperand() const { return !option; }
    const std::string& Current() const { return args[at]; }
    // The argument after the current option, taken as its value; none (an error) at the end.
    std::optional<std::string> Value();
    // The current argument (with its value, if one was taken) is wrong for this reason.
    void Fail(std::string_view why);
    // The named argument is wrong for this reason; for problems found after the loop.
    void Fail(std::string_view argument, std::string_view why);
    // "unknown option" or "unexpected argument" for the current argument.
    void Unexpected();
    bool Failed() const { return !error.empty(); }

    // After the loop: the exit status when the command must end here, having printed its help
    // (0) or the error and its usage line (2); none when the arguments were good.
    std::optional<int> Finish() const;

private:
    const CommandHelp& help;
    const Arguments& args;
    bool operandsEndOptions;
    std::size_t at = 0;
    std::size_t next = 0;
    bool option = false;
    bool optionsEnded = false;
    bool helpWanted = false;
    std::string error;
};
