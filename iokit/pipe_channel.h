// What a pipe's reader thread shares with the reads waiting on that pipe: the receive queue
// and the pipe's events. Held by shared pointer, so that a read woken by the kit's closing can
// leave without touching the device record the shut-down is freeing.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>

#include "iokit/receive_queue.h"
#include "os/mutexes.h"

class PipeChannel {
public:
    enum class Wake { Data, Error, Ended, Closing, TimedOut, Interrupted };

    // Reader thread: queues a report and signals data (also when the oldest was dropped).
    void PushReport(const std::uint8_t* report, std::size_t length);
    // Reader thread: a read failed, was cancelled or brought nothing.
    void SignalError();
    // Reader thread, as its last act.
    void SignalEnded();
    // Kit shut-down: wakes every wait on this pipe for good.
    void SignalClosing();
    // Ends the waits under way at once (Wake::Interrupted): for a reader that is being stopped.
    // A wait that begins later is not affected.
    void Interrupt();

    // Clears the data and error signals and takes the oldest report, in one step so that a
    // report arriving just after it still wakes the next wait.
    bool ResetAndPop(ReceiveQueue::Report& report);
    // Waits up to timeoutMs (kHidWaitForever: without limit) for any signal.
    Wake WaitForSignal(std::uint32_t timeoutMs);
    bool Ended();

    // Held by the pipe's one reader for the whole of one report read.
    Mutex readLock;

private:
    Mutex queueLock;
    std::condition_variable signalled;
    ReceiveQueue queue;
    bool data = false;
    bool error = false;
    bool ended = false;
    bool closing = false;
    bool interrupted = false;
    int waiting = 0;
};
