// The simulated HID services: enumeration of the attached simulated boards and their streams.
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>

#include "os/sim_board.h"

namespace {

// The platform buffers this many input reports per read handle and drops the oldest.
constexpr std::size_t kInputBuffers = 128;

class SimReadStream : public HidReadStream, public SimInputListener {
public:
    SimReadStream(std::shared_ptr<SimBoard> boardIn, int pipe) : board(std::move(boardIn)) {
        gone = !board->AddListener(pipe, this);
    }
    ~SimReadStream() override { board->RemoveListener(this); }
    bool Connected() {
        std::lock_guard<std::mutex> hold(lock);
        return !gone;
    }

    bool StartRead(std::uint8_t* buffer, std::size_t length) override {
        std::lock_guard<std::mutex> hold(lock);
        if (gone) return false;
        pending = buffer;
        pendingLength = length;
        handedOver = false;
        return true;
    }

    HidReadResult WaitForRead(std::uint32_t timeoutMs, std::size_t& bytesRead) override {
        std::unique_lock<std::mutex> hold(lock);
        const auto ready = [this] { return stop || (pending && (gone || !buffered.empty())); };
        if (timeoutMs == kHidWaitForever) {
            changed.wait(hold, ready);
        } else if (!changed.wait_for(hold, std::chrono::milliseconds(timeoutMs), ready)) {
            return HidReadResult::TimedOut;
        }
        if (stop) return HidReadResult::Stopped;
        SimBoard::ReadFault fault = SimBoard::ReadFault::Empty;
        if (gone || board->TakeReadFault(fault)) {
            pending = nullptr;
            if (gone || fault == SimBoard::ReadFault::Error) return HidReadResult::Failed;
            bytesRead = 0;
            return HidReadResult::Completed;
        }
        const std::vector<std::uint8_t>& report = buffered.front();
        bytesRead = std::min(report.size(), pendingLength);
        std::memcpy(pending, report.data(), bytesRead);
        buffered.pop_front();
        pending = nullptr;
        handedOver = true;
        return HidReadResult::Completed;
    }

    void CancelRead() override {
        std::lock_guard<std::mutex> hold(lock);
        pending = nullptr;
        handedOver = false;
    }

    void RequestStop() override {
        {
            std::lock_guard<std::mutex> hold(lock);
            stop = true;
        }
        changed.notify_all();
    }

    void OnInputReport(const std::vector<std::uint8_t>& report) override {
        {
            std::lock_guard<std::mutex> hold(lock);
            if (buffered.size() == kInputBuffers) buffered.pop_front();
            buffered.push_back(report);
        }
        changed.notify_all();
    }

    void OnPulled() override {
        {
            std::lock_guard<std::mutex> hold(lock);
            gone = true;
            buffered.clear();
        }
        changed.notify_all();
    }

    std::size_t PendingReports() override {
        std::lock_guard<std::mutex> hold(lock);
        return buffered.size() + (handedOver ? 1 : 0);
    }

private:
    const std::shared_ptr<SimBoard> board;
    std::mutex lock;
    std::condition_variable changed;
    std::deque<std::vector<std::uint8_t>> buffered;
    std::uint8_t* pending = nullptr;
    std::size_t pendingLength = 0;
    bool handedOver = false;  // a read completed; the reader has not started the next one
    bool gone = false;
    bool stop = false;
};

// Writes reach the board at once; a pulled board refuses them before they start, as the
// platform does for a device that is gone. A handle opened before a pull stays dead.
class SimWriteStream : public HidWriteStream, public SimInputListener {
public:
    SimWriteStream(std::shared_ptr<SimBoard> boardIn, int pipeIn) : board(std::move(boardIn)), pipe(pipeIn) {
        // Listening on an interface nobody reports to: only to learn of the pull.
        gone = !board->AddListener(-1, this);
    }
    ~SimWriteStream() override { board->RemoveListener(this); }
    bool Connected() {
        std::lock_guard<std::mutex> hold(lock);
        return !gone;
    }

    HidWriteResult Write(const std::uint8_t* report, std::size_t length, std::uint32_t timeoutMs) override {
        {
            std::lock_guard<std::mutex> hold(lock);
            if (gone) return HidWriteResult::NotStarted;
        }
        if (!board->AwaitTakingReports(timeoutMs)) return HidWriteResult::TimedOut;
        return board->ReceiveOutputReport(pipe, report, length) ? HidWriteResult::Written
                                                                 : HidWriteResult::NotStarted;
    }

    void OnInputReport(const std::vector<std::uint8_t>&) override {}
    void OnPulled() override {
        std::lock_guard<std::mutex> hold(lock);
        gone = true;
    }
    std::size_t PendingReports() override { return 0; }

private:
    const std::shared_ptr<SimBoard> board;
    const int pipe;
    std::mutex lock;
    bool gone = false;
};

}  // namespace

std::shared_ptr<SimBoard> SimHidBackend::AddBoard(SimBoardSetup setup) {
    auto board = std::make_shared<SimBoard>(std::move(setup));
    std::lock_guard<std::mutex> hold(lock);
    boards.push_back({nextPhysicalDevice++, board});
    return board;
}

void SimHidBackend::RemoveBoard(const std::shared_ptr<SimBoard>& board) {
    board->Pull();
    std::lock_guard<std::mutex> hold(lock);
    boards.erase(std::remove_if(boards.begin(), boards.end(),
                                [&](const Attached& a) { return a.board == board; }),
                 boards.end());
}

std::vector<std::shared_ptr<SimBoard>> SimHidBackend::Boards() const {
    std::lock_guard<std::mutex> hold(lock);
    std::vector<std::shared_ptr<SimBoard>> result;
    for (const Attached& a : boards) result.push_back(a.board);
    return result;
}

void SimHidBackend::FailLoad(std::uint32_t errorCode) {
    std::lock_guard<std::mutex> hold(lock);
    loadError = errorCode;
}

bool SimHidBackend::Load(std::uint32_t& errorCode) {
    std::lock_guard<std::mutex> hold(lock);
    errorCode = loadError;
    return loadError == 0;
}

std::vector<HidInterfaceInfo> SimHidBackend::EnumerateInterfaces(const HidDeviceFilter& wanted) {
    std::lock_guard<std::mutex> hold(lock);
    std::vector<HidInterfaceInfo> interfaces;
    for (Attached& a : boards) {
        const SimBoardSetup& setup = a.board->Setup();
        if (!wanted.Accepts({setup.vendorId, setup.productId, 0})) continue;
        for (HidInterfaceInfo& info : a.board->Interfaces(a.physicalDevice)) {
            ++a.described;
            interfaces.push_back(std::move(info));
        }
    }
    return interfaces;
}

int SimHidBackend::Described(const std::shared_ptr<SimBoard>& board) const {
    std::lock_guard<std::mutex> hold(lock);
    for (const Attached& a : boards)
        if (a.board == board) return a.described;
    return 0;
}

std::pair<std::shared_ptr<SimBoard>, int> SimHidBackend::Find(const std::string& path) const {
    std::lock_guard<std::mutex> hold(lock);
    for (const Attached& a : boards) {
        const auto interfaces = a.board->Interfaces(a.physicalDevice);
        for (std::size_t pipe = 0; pipe < interfaces.size(); ++pipe) {
            if (interfaces[pipe].path == path) return {a.board, static_cast<int>(pipe)};
        }
    }
    return {nullptr, -1};
}

std::unique_ptr<HidReadStream> SimHidBackend::OpenForReading(const std::string& path) {
    auto [board, pipe] = Find(path);
    if (!board) return nullptr;
    auto stream = std::make_unique<SimReadStream>(board, pipe);
    if (!stream->Connected()) return nullptr;
    return stream;
}

std::shared_ptr<HidWriteStream> SimHidBackend::OpenForWriting(const std::string& path) {
    auto [board, pipe] = Find(path);
    if (!board) return nullptr;
    auto stream = std::make_shared<SimWriteStream>(board, pipe);
    if (!stream->Connected()) return nullptr;
    return stream;
}
