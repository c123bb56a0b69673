#include "tests/standin/pipe_server.h"

#include <algorithm>
#include <thread>

namespace {

// Listening instances kept ready: a client opens an interface's query, read and write handles
// one after another, faster than the thread of a replacement instance may get to run.
constexpr int kSpareInstances = 3;

HANDLE NewEvent(BOOL manualReset) { return CreateEventA(nullptr, manualReset, FALSE, nullptr); }

// Waits until an operation on the pipe has let go of its OVERLAPPED block.
void Finish(HANDLE pipe, OVERLAPPED& operation) {
    DWORD bytes = 0;
    CancelIoEx(pipe, &operation);
    GetOverlappedResult(pipe, &operation, &bytes, TRUE);
}

}  // namespace

// An instance made by one thread and served by another. Its thread waits for the client
// itself: the platform cancels the I/O a thread started when that thread ends.
struct PipeServer::Listening {
    HANDLE pipe = INVALID_HANDLE_VALUE;
    OVERLAPPED connect{};

    ~Listening() {
        if (pipe != INVALID_HANDLE_VALUE) CloseHandle(pipe);
        if (connect.hEvent) CloseHandle(connect.hEvent);
    }
};

PipeServer::PipeServer(std::string pathIn, std::shared_ptr<SimBoard> boardIn, int pipeIn)
    : path(std::move(pathIn)), board(std::move(boardIn)), pipe(pipeIn), stopEvent(NewEvent(TRUE)) {}

PipeServer::~PipeServer() { CloseHandle(stopEvent); }

void PipeServer::Start() {
    if (board && !board->AddListener(pipe, this)) return;
    for (int i = 0; i < kSpareInstances; ++i) SpawnInstance();
}

void PipeServer::Stop() {
    if (board) board->RemoveListener(this);
    std::unique_lock<std::mutex> hold(lock);
    stopping = true;
    SetEvent(stopEvent);
    threadEnded.wait(hold, [this] { return threads == 0; });
}

void PipeServer::SetInputBuffers(unsigned count) {
    std::lock_guard<std::mutex> hold(lock);
    inputBuffers = count;
}

unsigned PipeServer::InputBuffers() const {
    std::lock_guard<std::mutex> hold(lock);
    return inputBuffers;
}

void PipeServer::OnInputReport(const std::vector<std::uint8_t>& report) {
    std::lock_guard<std::mutex> hold(lock);
    for (Instance* instance : connected) {
        if (instance->queue.size() >= inputBuffers) instance->queue.pop_front();
        instance->queue.push_back(report);
        SetEvent(instance->wake);
    }
}

void PipeServer::OnPulled() {
    std::lock_guard<std::mutex> hold(lock);
    stopping = true;
    SetEvent(stopEvent);
}

std::size_t PipeServer::PendingReports() {
    std::lock_guard<std::mutex> hold(lock);
    std::size_t pending = 0;
    for (const Instance* instance : connected) pending += instance->queue.size();
    return pending;
}

// The instance exists, and a client can open it, when this returns.
void PipeServer::SpawnInstance() {
    auto listening = std::make_unique<Listening>();
    listening->pipe = CreateNamedPipeA(path.c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED,
                                       PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT,
                                       PIPE_UNLIMITED_INSTANCES, 0, 0, 0, nullptr);
    listening->connect.hEvent = NewEvent(TRUE);
    if (listening->pipe == INVALID_HANDLE_VALUE || !listening->connect.hEvent) return;
    {
        std::lock_guard<std::mutex> hold(lock);
        if (stopping) return;
        ++threads;
    }
    std::thread([self = shared_from_this(), raw = listening.release()] { self->ServeInstance(raw); }).detach();
}

void PipeServer::ServeInstance(Listening* raw) {
    std::unique_ptr<Listening> listening(raw);
    bool connected = ConnectNamedPipe(listening->pipe, &listening->connect) || GetLastError() == ERROR_PIPE_CONNECTED;
    if (!connected && GetLastError() == ERROR_IO_PENDING) {
        const HANDLE waits[2] = {listening->connect.hEvent, stopEvent};
        DWORD unused = 0;
        if (WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0) {
            connected = GetOverlappedResult(listening->pipe, &listening->connect, &unused, FALSE);
        } else {
            Finish(listening->pipe, listening->connect);
        }
    }
    if (connected) {
        SpawnInstance();
        Serve(listening->pipe);
    }
    listening.reset();
    ThreadEnded();
}

bool PipeServer::TakeReport(Instance& instance, std::vector<std::uint8_t>& report) {
    std::lock_guard<std::mutex> hold(lock);
    if (instance.queue.empty()) return false;
    report = std::move(instance.queue.front());
    instance.queue.pop_front();
    return true;
}

// One connected client: its output reports go to the board, the board's input reports to it,
// one at a time, until the client closes its handle or the server stops.
void PipeServer::Serve(HANDLE file) {
    Instance instance;
    instance.wake = NewEvent(FALSE);
    {
        std::lock_guard<std::mutex> hold(lock);
        if (!stopping) connected.push_back(&instance);
    }
    OVERLAPPED read{};
    OVERLAPPED write{};
    read.hEvent = NewEvent(TRUE);
    write.hEvent = NewEvent(TRUE);
    std::uint8_t received[kHidMaxReportLength];
    std::vector<std::uint8_t> sending;
    bool reading = false;
    bool writing = false;
    bool discarding = false;  // the rest of a message longer than any report

    // An overlapped call that completes at once still signals its event: one path for both.
    const auto startRead = [&] {
        reading = ReadFile(file, received, sizeof received, nullptr, &read) ||
                  GetLastError() == ERROR_IO_PENDING || GetLastError() == ERROR_MORE_DATA;
        return reading;
    };
    const auto startWrite = [&] {
        if (writing || !TakeReport(instance, sending)) return true;
        writing = WriteFile(file, sending.data(), static_cast<DWORD>(sending.size()), nullptr, &write) ||
                  GetLastError() == ERROR_IO_PENDING;
        return writing;
    };

    bool open = startRead() && startWrite();
    while (open) {
        const HANDLE waits[4] = {stopEvent, read.hEvent, instance.wake, write.hEvent};
        const DWORD which = WaitForMultipleObjects(writing ? 4 : 3, waits, FALSE, INFINITE);
        DWORD bytes = 0;
        if (which == WAIT_OBJECT_0 + 1) {
            reading = false;
            if (GetOverlappedResult(file, &read, &bytes, FALSE)) {
                // A report of the wrong length is dropped by the board, as the chip refuses it.
                if (!discarding && board) board->ReceiveOutputReport(pipe, received, bytes);
                discarding = false;
            } else if (GetLastError() == ERROR_MORE_DATA) {
                discarding = true;
            } else {
                break;  // the client closed its handle
            }
            open = startRead();
        } else if (which == WAIT_OBJECT_0 + 2) {
            open = startWrite();
        } else if (which == WAIT_OBJECT_0 + 3) {
            writing = false;
            open = GetOverlappedResult(file, &write, &bytes, FALSE) && startWrite();
        } else {
            break;  // stopping
        }
    }
    {
        std::lock_guard<std::mutex> hold(lock);
        connected.erase(std::remove(connected.begin(), connected.end(), &instance), connected.end());
    }
    // Fails the client's pending read, as a pulled device does.
    DisconnectNamedPipe(file);
    if (reading) Finish(file, read);
    if (writing) Finish(file, write);
    CloseHandle(read.hEvent);
    CloseHandle(write.hEvent);
    CloseHandle(instance.wake);
}

void PipeServer::ThreadEnded() {
    std::lock_guard<std::mutex> hold(lock);
    --threads;
    threadEnded.notify_all();
}
