// One HID interface of the stand-in hid.dll, presented as a message-mode named pipe whose
// server end the simulated board drives.
//
// Every client connection (a query handle, a read handle, a write handle, ...) is one pipe
// instance served by a thread of its own. Output reports a client writes go to the board. Every
// input report of the board goes to every instance a client has opened, each with its own queue
// of at most InputBuffers() reports besides the one in the pipe, the oldest dropped: that is what
// the platform's HID class driver does for every open handle, and the server cannot tell a read
// handle from a write or query handle anyway (all open the same name). A report reaches a handle
// from the moment its open returned, even before the instance's thread has noticed the client.
// An instance has at most one report in the pipe at a time (buffer size 0: a write stays
// pending until the client reads it), because clients read in byte mode and would otherwise get
// several reports glued together in one read.
#pragma once

#include <windows.h>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "os/sim_board.h"

class PipeServer : public SimInputListener, public std::enable_shared_from_this<PipeServer> {
public:
    // board null: a device that never reports and ignores what is written to it.
    PipeServer(std::string path, std::shared_ptr<SimBoard> board, int pipe);
    ~PipeServer() override;

    // Creates the first listening instances (openable when it returns) and listens to the board.
    void Start();
    // Disconnects every client (their pending reads fail), closes every instance and returns once
    // every thread of this server has ended; new opens then fail.
    void Stop();

    // Makes new instances until a few wait for a client; every HID call on the interface
    // does it, so that the opens that follow find one.
    void KeepSpares();

    const std::string& Path() const { return path; }
    void SetInputBuffers(unsigned count);
    unsigned InputBuffers() const;

    // From the board, with its lock held.
    void OnInputReport(const std::vector<std::uint8_t>& report) override;
    void OnPulled() override;
    std::size_t PendingReports() override;

private:
    struct Instance;

    void SpawnInstance();
    static bool ClientOpened(const Instance& instance);
    void ServeInstance(Instance* instance);
    void Serve(Instance& instance);
    void ThreadEnded();
    bool TakeReport(Instance& instance, std::vector<std::uint8_t>& report);

    const std::string path;
    const std::shared_ptr<SimBoard> board;
    const int pipe;
    HANDLE stopEvent;  // manual reset

    std::mutex spawning;  // one KeepSpares at a time, so that two never top up the same gap
    mutable std::mutex lock;
    std::condition_variable threadEnded;
    int threads = 0;
    bool stopping = false;
    unsigned inputBuffers = 32;  // the platform's default
    std::vector<Instance*> instances;  // listening or connected
};

// Handles the pipe servers hold open now (pipe instances and their events).
int PipeServerHandles();
