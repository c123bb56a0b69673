#include "testbed/standin/pipe_server.h"

#include <algorithm>
#include <atomic>

#include "testbed/standin/board_script.h"
#include "testbed/standin/worker_pool.h"

namespace {

// Instances kept waiting for a client. The module opens an interface's query handle, then its
// read and write handles, and calls a HidD function after the query and the read opens, which
// tops the spares up: so it never finds all instances busy, however late the threads run.
constexpr int kSpareInstances = 3;

// The handles the servers hold, so that a host counting its process's handles can tell the
// module's from ours.
std::atomic<int> openHandles{0};

HANDLE Counted(HANDLE handle) {
    if (handle && handle != INVALID_HANDLE_VALUE) ++openHandles;
    return handle;
}

void Close(HANDLE handle) {
    if (handle && handle != INVALID_HANDLE_VALUE && CloseHandle(handle)) --openHandles;
}

HANDLE NewEvent(BOOL manualReset) { return Counted(CreateEventA(nullptr, manualReset, FALSE, nullptr)); }

// Waits until an operation on the pipe has let go of its OVERLAPPED block.
void Finish(HANDLE pipe, OVERLAPPED& operation) {
    DWORD bytes = 0;
    CancelIoEx(pipe, &operation);
    GetOverlappedResult(pipe, &operation, &bytes, TRUE);
}

}  // namespace

// One pipe instance, made by one thread and served by a pool thread. That thread waits for the
// client itself: the platform cancels the I/O a thread started when that thread ends.
struct PipeServer::Instance {
    HANDLE pipe = INVALID_HANDLE_VALUE;
    HANDLE wake = NewEvent(FALSE);  // new reports queued
    OVERLAPPED connect{};
    bool clientSeen = false;
    std::deque<std::vector<std::uint8_t>> queue;

    Instance() { connect.hEvent = NewEvent(TRUE); }
    ~Instance() {
        Close(pipe);
        Close(wake);
        Close(connect.hEvent);
    }
};

PipeServer::PipeServer(std::string pathIn, std::shared_ptr<SimBoard> boardIn, int pipeIn)
    : path(std::move(pathIn)), board(std::move(boardIn)), pipe(pipeIn), stopEvent(NewEvent(TRUE)) {}

PipeServer::~PipeServer() { Close(stopEvent); }

int PipeServerHandles() { return openHandles; }

void PipeServer::Start() {
    if (board && !board->AddListener(pipe, this)) return;
    KeepSpares();
}

void PipeServer::Stop() {
    if (board) board->RemoveListener(this);
    std::unique_lock<std::mutex> hold(lock);
    stopping = true;
    SetEvent(stopEvent);
    threadEnded.wait(hold, [this] { return threads == 0; });
}

void PipeServer::KeepSpares() {
    std::lock_guard<std::mutex> serial(spawning);
    int idle = 0;
    {
        std::lock_guard<std::mutex> hold(lock);
        if (stopping) return;
        for (Instance* instance : instances) {
            if (!instance->clientSeen) instance->clientSeen = ClientOpened(*instance);
            if (!instance->clientSeen) ++idle;
        }
    }
    for (; idle < kSpareInstances; ++idle) SpawnInstance();
}

void PipeServer::SetInputBuffers(unsigned count) {
    std::lock_guard<std::mutex> hold(lock);
    inputBuffers = count;
}

unsigned PipeServer::InputBuffers() const {
    std::lock_guard<std::mutex> hold(lock);
    return inputBuffers;
}

// A client may have opened an instance before its thread noticed: asking the pipe tells.
bool PipeServer::ClientOpened(const Instance& instance) {
    return PeekNamedPipe(instance.pipe, nullptr, 0, nullptr, nullptr, nullptr) != FALSE;
}

void PipeServer::OnInputReport(const std::vector<std::uint8_t>& report) {
    std::lock_guard<std::mutex> hold(lock);
    for (Instance* instance : instances) {
        if (!instance->clientSeen) instance->clientSeen = ClientOpened(*instance);
        if (!instance->clientSeen) continue;
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
    for (const Instance* instance : instances) pending += instance->queue.size();
    return pending;
}

// The instance exists, and a client can open it, when this returns.
void PipeServer::SpawnInstance() {
    auto instance = std::make_unique<Instance>();
    instance->pipe = Counted(CreateNamedPipeA(path.c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED,
                                              PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT,
                                              PIPE_UNLIMITED_INSTANCES, 0, 0, 0, nullptr));
    if (instance->pipe == INVALID_HANDLE_VALUE || !instance->wake || !instance->connect.hEvent) return;
    {
        std::lock_guard<std::mutex> hold(lock);
        if (stopping) return;
        instances.push_back(instance.get());
        ++threads;
    }
    RunOnPoolThread([self = shared_from_this(), raw = instance.release()] { self->ServeInstance(raw); });
}

void PipeServer::ServeInstance(Instance* raw) {
    std::unique_ptr<Instance> instance(raw);
    bool connected = ConnectNamedPipe(instance->pipe, &instance->connect) || GetLastError() == ERROR_PIPE_CONNECTED;
    if (!connected && GetLastError() == ERROR_IO_PENDING) {
        const HANDLE waits[2] = {instance->connect.hEvent, stopEvent};
        DWORD unused = 0;
        if (WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0) {
            connected = GetOverlappedResult(instance->pipe, &instance->connect, &unused, FALSE);
        } else {
            Finish(instance->pipe, instance->connect);
        }
    }
    if (connected) {
        {
            std::lock_guard<std::mutex> hold(lock);
            instance->clientSeen = true;
        }
        KeepSpares();
        Serve(*instance);
    }
    {
        std::lock_guard<std::mutex> hold(lock);
        instances.erase(std::remove(instances.begin(), instances.end(), instance.get()), instances.end());
    }
    instance.reset();
    // A client that came and went before this thread got to it took a spare with it.
    if (!connected) KeepSpares();
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
void PipeServer::Serve(Instance& instance) {
    const HANDLE file = instance.pipe;
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
                if (!discarding && board && board->ReceiveOutputReport(pipe, received, bytes)) TraceBoard(*board);
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
    // Fails the client's pending read, as a pulled device does.
    DisconnectNamedPipe(file);
    if (reading) Finish(file, read);
    if (writing) Finish(file, write);
    Close(read.hEvent);
    Close(write.hEvent);
}

void PipeServer::ThreadEnded() {
    std::lock_guard<std::mutex> hold(lock);
    --threads;
    threadEnded.notify_all();
}
