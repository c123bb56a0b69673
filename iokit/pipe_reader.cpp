// The per-pipe reader thread: keeps one read pending on the interface and queues every report.
#include <algorithm>
#include <cstring>

#include "iokit/kit_state.h"
#include "log/log.h"

namespace {

// How long the reader waits before it looks at a stop request or retries after an error.
constexpr std::uint32_t kReaderTurnMs = 250;

void ReadUntilStopped(HidReadStream& stream, PipeChannel& channel, std::size_t reportLength) {
    std::uint8_t buffer[kHidMaxReportLength];
    reportLength = std::min(reportLength, sizeof buffer);
    bool readError = false;  // once set, a quiet turn also restarts the read
    bool stop = false;
    while (!stop) {
        std::memset(buffer, 0, sizeof buffer);
        if (!stream.StartRead(buffer, reportLength)) {
            // The device is gone: report it every turn and try again a turn later.
            channel.SignalError();
            readError = true;
            std::size_t ignored = 0;
            stop = stream.WaitForRead(kReaderTurnMs, ignored) == HidReadResult::Stopped;
            continue;
        }
        for (;;) {
            // A healthy read may stay pending for as long as the panel is quiet: a stop request
            // or the device going away ends it. Only after an error does the reader take turns,
            // so that idle panels cost no wake-ups.
            std::size_t bytes = 0;
            const HidReadResult result =
                stream.WaitForRead(readError ? kReaderTurnMs : kHidWaitForever, bytes);
            if (result == HidReadResult::Stopped) {
                stop = true;
            } else if (result == HidReadResult::Completed && bytes > 0) {
                channel.PushReport(buffer, bytes);
            } else if (result == HidReadResult::Completed || result == HidReadResult::Failed) {
                // A read that completes with nothing is an error too, and waits a turn like one:
                // a device that keeps doing so must not keep a core busy.
                channel.SignalError();
                readError = true;
                std::size_t ignored = 0;
                stop = stream.WaitForRead(kReaderTurnMs, ignored) == HidReadResult::Stopped;
            } else if (readError) {
                stream.CancelRead();
                channel.SignalError();
            } else {
                continue;  // a quiet turn: the read stays pending
            }
            break;
        }
    }
}

// Whatever ends the reading, waiting reads learn that the reader is gone.
void PipeReaderThread(HidReadStream& stream, PipeChannel& channel, std::size_t reportLength) {
    try {
        ReadUntilStopped(stream, channel, reportLength);
    } catch (...) {
        theLog.Write(2, "MFP", "Reader thread stopped by an exception\n");
    }
    try {
        stream.CancelRead();
    } catch (...) {
    }
    channel.SignalEnded();
}

}  // namespace

bool OpenPipe(HidBackend& backend, ThreadStarter& threads, PipeState& pipe) {
    pipe.reader = backend.OpenForReading(pipe.path);
    pipe.writer = backend.OpenForWriting(pipe.path);
    if (!pipe.reader || !pipe.writer) {
        ClosePipe(pipe);
        return false;
    }
    pipe.channel = std::make_shared<PipeChannel>();
    HidReadStream& stream = *pipe.reader;
    PipeChannel& channel = *pipe.channel;
    const std::size_t reportLength = pipe.caps.inputReportByteLength;
    if (!threads.Start(pipe.readerThread, "Reader",
                       [&stream, &channel, reportLength] { PipeReaderThread(stream, channel, reportLength); })) {
        ClosePipe(pipe);
        return false;
    }
    return true;
}

void ClosePipe(PipeState& pipe) {
    if (pipe.readerThread.joinable()) {
        pipe.reader->RequestStop();
        pipe.readerThread.join();
    }
    pipe.reader.reset();
    pipe.writer.reset();
    // Reads still holding the channel keep it; they find the record gone or the kit closing.
    pipe.channel.reset();
}
