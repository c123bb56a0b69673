#include "iokit/pipe_channel.h"

#include <chrono>

#include "os/hid.h"

void PipeChannel::PushReport(const std::uint8_t* report, std::size_t length) {
    {
        std::lock_guard<std::mutex> hold(queueLock);
        queue.Push(report, length);  // an overflow drops the oldest report silently
        data = true;
    }
    signalled.notify_all();
}

void PipeChannel::SignalError() {
    {
        std::lock_guard<std::mutex> hold(queueLock);
        error = true;
    }
    signalled.notify_all();
}

void PipeChannel::SignalEnded() {
    {
        std::lock_guard<std::mutex> hold(queueLock);
        ended = true;
    }
    signalled.notify_all();
}

void PipeChannel::SignalClosing() {
    {
        std::lock_guard<std::mutex> hold(queueLock);
        closing = true;
    }
    signalled.notify_all();
}

void PipeChannel::Interrupt() {
    {
        std::lock_guard<std::mutex> hold(queueLock);
        if (waiting == 0) return;
        interrupted = true;
    }
    signalled.notify_all();
}

bool PipeChannel::ResetAndPop(ReceiveQueue::Report& report) {
    std::lock_guard<std::mutex> hold(queueLock);
    data = error = false;
    return queue.Pop(report);
}

bool PipeChannel::Ended() {
    std::lock_guard<std::mutex> hold(queueLock);
    return ended;
}

PipeChannel::Wake PipeChannel::WaitForSignal(std::uint32_t timeoutMs) {
    std::unique_lock<std::mutex> hold(queueLock);
    const auto anySignal = [this] { return data || error || ended || closing || interrupted; };
    ++waiting;
    bool signal = true;
    if (timeoutMs == kHidWaitForever) signalled.wait(hold, anySignal);
    else signal = signalled.wait_for(hold, std::chrono::milliseconds(timeoutMs), anySignal);
    --waiting;
    const bool wasInterrupted = interrupted;
    if (waiting == 0) interrupted = false;  // an interruption is for the waits it found
    if (!signal) return Wake::TimedOut;
    if (closing) return Wake::Closing;
    if (wasInterrupted) return Wake::Interrupted;
    if (data) return Wake::Data;
    if (error) return Wake::Error;
    return Wake::Ended;
}
