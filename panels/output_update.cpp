// The output update: one pass reads every output's gauge variable, evaluates its formula and
// drives the board; ClearAllOutputs switches everything off.
#include <cstdlib>

#include "formula/formula_evaluator.h"
#include "log/log.h"
#include "panels/mfp_worker.h"
#include "panels/output_rules.h"

namespace {
const char kModuleName[] = "MFPWorker";

const char kBoardError[] = "Error writting to the Tarnell controller\n";

void LogBoardError() { theLog.Write(0, kModuleName, "%s", kBoardError); }
}  // namespace

void CMFPWorker::UpdateOutputs() {
    if (!simulatorFound) return;
    // Finding the view may wait for its title, without the tables: a reload never waits behind
    // it, and ending the panels cuts the wait short.
    if (viewWindow != 0 && services.windows.IsWindow(viewWindow)) {
        std::string title;
        if (!services.windows.GetWindowTitle(viewWindow, title) || title.empty()) {
            uint64_t seenWakes = runFlag->Wakes();
            runFlag->SleepWhileSet(kEmptyTitlePause, seenWakes);
            viewWindow = FindSimulatorView();
        }
    } else {
        viewWindow = FindSimulatorView();
    }
    // The pass holds the tables, so a reload waits for the pass to end and vice versa.
    std::lock_guard<std::mutex> guard(outputsLock);
    FormulaEvaluator evaluator;
    std::string text;
    if (viewWindow == 0) {
        if (lastViewWindow != 0) {
            ClearOutputs();
            lastViewWindow = 0;
        }
        return;
    }
    if (lastViewWindow == 0) lastViewWindow = viewWindow;

    for (std::size_t i = 0; i < outputs.size(); ++i) {
        if (!runFlag->IsSet()) return;
        try {
            if (!UpdateOutput(i, evaluator, text)) return;
        } catch (...) {  // the host's lookup may throw anything
            theLog.Write(0, kModuleName, "Unable to read gauge data\n");
            return;
        }
    }
}

bool CMFPWorker::UpdateOutput(std::size_t index, FormulaEvaluator& evaluator, std::string& text) {
    const MFPOutput& output = outputs[index];
    // A group without a kind bit shows nothing, so it reads nothing either.
    if (output.Kind() == OutputKind::None) return true;
    GaugeVariable variable{};
    variable.token = static_cast<uint32_t>(output.gaugeVariable);
    if (!services.host.Available()) return false;
    services.host.LookupGaugeVariable(variable);
    // A variable the simulator does not give darkens its own output only: the pass goes on.
    if (variable.typeCode == 0 || variable.data == nullptr) {
        if (!loggedNoValue[index])
            theLog.Write(0, kModuleName, "Output %d: gauge variable %d gives no value; it is skipped\n",
                         static_cast<int>(index + 1), output.gaugeVariable);
        loggedNoValue[index] = true;
        return true;
    }

    std::string problem;
    const bool shown = EvaluateOutput(output.format, variable, evaluator, text, problem) == OutputStep::Shown;
    const bool written = !shown || board == nullptr || WriteOutput(output, text);
    // What went wrong is logged again only when it changes, not four times a second.
    std::string failure = !shown ? problem + '\n' + text : written ? std::string() : kBoardError;
    if (!failure.empty() && failure != loggedFailures[index]) {
        if (!shown) theLog.Write(0, kModuleName, "Calculate formula error %s\n", problem.c_str());
        else LogBoardError();
    }
    loggedFailures[index] = std::move(failure);
    return true;
}

bool CMFPWorker::WriteOutput(const MFPOutput& output, const std::string& text) {
    try {
        switch (output.Kind()) {
            case OutputKind::Display:
                return board->WriteDisplay(output.startDigit, PadDisplayText(text, output.width, output.decimalPoint),
                                           -1, 1) == CTarnellController::kSuccess;
            case OutputKind::PortLed:
                return board->SetPortBit(output.port, output.bit, LedIsOn(std::atoi(text.c_str()), output) ? 1 : 0);
            case OutputKind::MatrixLed:
                return board->SetMatrixLed(output.matrixLed, LedIsOn(std::atoi(text.c_str()), output) ? 1 : 0) ==
                       CTarnellController::kSuccess;
            case OutputKind::None:
                break;
        }
    } catch (...) {
        return false;
    }
    return true;
}

void CMFPWorker::ClearAllOutputs() {
    std::lock_guard<std::mutex> guard(outputsLock);
    ClearOutputs();
}

void CMFPWorker::ClearOutputs() {
    theLog.Write(0, kModuleName, "Clear all outputs\n");
    if (board == nullptr) return;
    for (const MFPOutput& output : outputs) {
        try {
            switch (output.Kind()) {
                case OutputKind::Display:
                    board->WriteDisplay(output.startDigit,
                                        std::string(output.width > 0 ? output.width : 0, ' '), -1,
                                        1);
                    break;
                case OutputKind::PortLed:
                    board->SetPortBit(output.port, output.bit, 0);
                    break;
                case OutputKind::MatrixLed:
                    board->SetMatrixLed(output.matrixLed, 0);
                    break;
                case OutputKind::None:
                    break;
            }
        } catch (...) {
            LogBoardError();
        }
    }
}
