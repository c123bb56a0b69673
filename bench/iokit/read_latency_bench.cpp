// Latency from a report arriving at a simulated interface to KitReadPipe returning it to a
// reader that was already waiting: the path of every switch change. Prints the median and the
// 99th percentile; the goal is a 99th percentile under 100 microseconds.
//
//   iokit_latency_bench [reports]
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "iokit/iokit.h"
#include "os/sim_board.h"

namespace {

using Clock = std::chrono::steady_clock;

double Microseconds(Clock::duration d) {
    return std::chrono::duration<double, std::micro>(d).count();
}

}  // namespace

int main(int argc, char** argv) {
    const int reports = argc > 1 ? std::clamp(std::atoi(argv[1]), 100, 60000) : 5000;
    const int warmUp = 100;
    SimHidBackend backend;
    auto board = backend.AddBoard();
    KitUseBackend(backend);
    const KitHandle handle = KitOpenAll();
    if (handle == 0) {
        std::fprintf(stderr, "no simulated board opened\n");
        return 1;
    }
    std::vector<Clock::time_point> sent(reports + warmUp);
    std::vector<double> latency(reports + warmUp);
    std::atomic<int> received{0};

    std::thread reader([&] {
        std::uint8_t report[8];
        for (int i = 0; i < reports + warmUp; ++i) {
            if (KitReadPipe(handle, 1, report, 8) != 8) std::abort();
            const auto now = Clock::now();
            const int n = report[1] | report[2] << 8;
            latency[n] = Microseconds(now - sent[n]);
            received.store(i + 1, std::memory_order_release);
        }
    });
    for (int n = 0; n < reports + warmUp; ++n) {
        while (received.load(std::memory_order_acquire) < n) std::this_thread::yield();
        // Let the reader settle into its wait before the report arrives.
        std::this_thread::sleep_for(std::chrono::microseconds(200));
        sent[n] = Clock::now();
        board->SendInputReport(1, {0x19, static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8), 0, 0, 0, 0, 0});
    }
    reader.join();
    KitCloseAll();

    std::vector<double> measured(latency.begin() + warmUp, latency.end());
    std::sort(measured.begin(), measured.end());
    const auto at = [&](double q) { return measured[static_cast<std::size_t>(q * (measured.size() - 1))]; };
    std::printf("report -> KitReadPipe latency over %d reports: median %.1f us, 99th percentile %.1f us, "
                "max %.1f us (goal: 99th under 100 us)\n",
                reports, at(0.5), at(0.99), measured.back());
    return 0;
}
