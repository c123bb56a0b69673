// The cost of the panel's output pass on a simulated board: a rewrite of 37 unchanged outputs
// (goal: no report at all) and one changed eight-digit text.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "board/tarnell_controller.h"
#include "os/sim_board.h"

namespace {

// One simulated panel opened through the kit, LED matrix on.
class Panel {
public:
    Panel() {
        KitUseBackend(backend);
        sim = backend.AddBoard({});
        KitOpenAll();
        board = std::make_unique<CTarnellController>(KitDeviceAt(1), true);
        board->EnableLedMatrix(true);
    }
    ~Panel() {
        board->Shutdown();
        board.reset();
        KitCloseAll();
    }

    SimHidBackend backend;
    std::shared_ptr<SimBoard> sim;
    std::unique_ptr<CTarnellController> board;
};

// A panel's outputs as a configuration might have them: 6 displays, 24 matrix LEDs, 7 port LEDs.
void WriteOutputs(CTarnellController& board) {
    const char* texts[] = {"12.5", "-3", "118.00", "2992", "0", "FL350"};
    for (int i = 0; i < 6; ++i) board.WriteDisplay(1 + 4 * i, texts[i], 4, 1);
    for (int i = 0; i < 24; ++i) board.SetMatrixLed(200 + i, i % 2);
    for (int i = 0; i < 7; ++i) board.SetPortBit(i / 4, i % 8, i % 3 == 0 ? 1 : 0);
}

void BM_RewriteUnchangedOutputs(benchmark::State& state) {
    Panel panel;
    WriteOutputs(*panel.board);
    panel.sim->ClearReceivedReports();
    for (auto _ : state) WriteOutputs(*panel.board);
    state.counters["reports_per_pass"] = benchmark::Counter(
        static_cast<double>(panel.sim->ReceivedReports().size()) / state.iterations());
}
BENCHMARK(BM_RewriteUnchangedOutputs);

void BM_WriteDisplayChangedEightDigits(benchmark::State& state) {
    Panel panel;
    const std::string texts[] = {"12345678", "87654321"};
    int flip = 0;
    panel.sim->ClearReceivedReports();
    for (auto _ : state) {
        benchmark::DoNotOptimize(panel.board->WriteDisplay(1, texts[flip], 8, 1));
        flip ^= 1;
    }
    state.counters["reports_per_call"] = benchmark::Counter(
        static_cast<double>(panel.sim->ReceivedReports().size()) / state.iterations());
}
BENCHMARK(BM_WriteDisplayChangedEightDigits);

}  // namespace

BENCHMARK_MAIN();
