#include <chrono>
#include <condition_variable>
#include <optional>

#include "os/sim_thread_starter.h"
#include "tests/board/board_fixture.h"

namespace {

using Keys = std::array<std::uint8_t, 8>;
using namespace std::chrono_literals;

// Records every call of the callback it is registered with: the keys, or none for the first.
class Recorder {
public:
    static int Callback(const std::string& serial, const std::uint8_t* keys, void* context) {
        auto& self = *static_cast<Recorder*>(context);
        EXPECT_EQ(serial, "0000000A");
        std::lock_guard<std::mutex> hold(self.lock);
        std::optional<Keys> call;
        if (keys != nullptr) std::copy(keys, keys + 8, call.emplace().begin());
        self.calls.push_back(call);
        self.changed.notify_all();
        return self.result;
    }

    // The calls so far, once there are at least count of them (or after 5 s).
    std::vector<std::optional<Keys>> WaitForCalls(std::size_t count) {
        std::unique_lock<std::mutex> hold(lock);
        changed.wait_for(hold, 5s, [&] { return calls.size() >= count; });
        return calls;
    }
    std::vector<std::optional<Keys>> Calls() { return WaitForCalls(0); }

    int result = 1;

private:
    std::mutex lock;
    std::condition_variable changed;
    std::vector<std::optional<Keys>> calls;
};

bool WaitUntil(const std::function<bool()>& condition) {
    const auto giveUp = std::chrono::steady_clock::now() + 5s;
    while (!condition() && std::chrono::steady_clock::now() < giveUp)
        std::this_thread::sleep_for(5ms);
    return condition();
}

// The recorders outlive the board's key-matrix thread, which TearDown stops.
class KeyMatrixTest : public BoardTest {
protected:
    // Registers the recorder and waits for its first two calls: the null call, then the state.
    bool Registered(Recorder& r) {
        return board->SetKeyMatrixCallback(true, Recorder::Callback, &r) && r.WaitForCalls(2).size() == 2;
    }

    Recorder recorder;
    Recorder second;
};

TEST_F(KeyMatrixTest, OneCallbackAtATime) {
    Recorder& first = recorder;
    EXPECT_FALSE(board->SetKeyMatrixCallback(false, Recorder::Callback, &first)) << "none registered";
    EXPECT_FALSE(board->SetKeyMatrixCallback(true, nullptr, &first));
    EXPECT_TRUE(TakeReports().empty());

    ASSERT_TRUE(board->SetKeyMatrixCallback(true, Recorder::Callback, &first));
    EXPECT_FALSE(board->SetKeyMatrixCallback(true, Recorder::Callback, &second));
    ASSERT_EQ(first.WaitForCalls(2).size(), 2u) << "the null call, then the requested state";
    EXPECT_EQ(first.Calls().front(), std::nullopt) << "the first call carries no keys";
    EXPECT_TRUE(sim->KeyMatrixOn());

    ASSERT_TRUE(board->SetKeyMatrixCallback(false, Recorder::Callback, &first));
    EXPECT_FALSE(board->IsKeyMatrixRunning());
    EXPECT_FALSE(sim->KeyMatrixOn());
    const std::size_t firstCalls = first.Calls().size();

    // A switch-off whose write fails still ends the registration: the next one is taken.
    ASSERT_TRUE(Registered(second));
    sim->FailNextWrites(1);
    EXPECT_FALSE(board->SetKeyMatrixCallback(false, Recorder::Callback, &second));
    EXPECT_FALSE(board->IsKeyMatrixRunning());
    Recorder third;
    ASSERT_TRUE(Registered(third));
    sim->PressKey(1, 6);
    const auto calls = third.WaitForCalls(3);
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(calls.back(), (Keys{0, 0x40, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(first.Calls().size(), firstCalls) << "the removed callback hears nothing more";
}

TEST_F(KeyMatrixTest, TheUpperHalfAloneCallsNothing) {
    ASSERT_TRUE(Registered(recorder));

    sim->SendInputReport(1, {0x1A, 1, 2, 3, 4, 0, 0, 0});
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(recorder.Calls().size(), 2u);

    sim->SendInputReport(1, {0x19, 5, 6, 7, 8, 0, 0, 0});
    const auto calls = recorder.WaitForCalls(3);
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls.back(), (Keys{5, 6, 7, 8, 1, 2, 3, 4}));

    // An unchanged state is delivered again: comparing is the callback owner's task.
    sim->SendInputReport(1, {0x19, 5, 6, 7, 8, 0, 0, 0});
    EXPECT_EQ(recorder.WaitForCalls(4).size(), 4u);
}

TEST_F(KeyMatrixTest, PausedBoardsDeliverNothingUntilResumed) {
    ASSERT_TRUE(Registered(recorder));
    board->SetPaused(true);
    std::this_thread::sleep_for(200ms);  // slow machines: let a late cycle end
    sim->PressKey(0, 0);
    std::this_thread::sleep_for(400ms);
    EXPECT_EQ(recorder.Calls().size(), 2u);
    board->SetPaused(false);
    const auto calls = recorder.WaitForCalls(3);
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls.back(), (Keys{1, 0, 0, 0, 0, 0, 0, 0}));
}

TEST_F(KeyMatrixTest, ACallbackResultOfZeroEndsTheThread) {
    recorder.result = 0;
    ASSERT_TRUE(board->SetKeyMatrixCallback(true, Recorder::Callback, &recorder));
    EXPECT_TRUE(WaitUntil([&] { return !board->IsKeyMatrixRunning(); }));
    sim->PressKey(0, 1);
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(recorder.Calls().size(), 2u) << "the null call and the first state only";
}

TEST_F(KeyMatrixTest, APulledBoardEndsTheThreadOnceTheKitIsClosed) {
    ASSERT_TRUE(Registered(recorder));
    sim->Pull();
    std::this_thread::sleep_for(300ms);
    EXPECT_TRUE(board->IsKeyMatrixRunning()) << "a pulled board only times out";
    KitCloseAll();
    EXPECT_TRUE(WaitUntil([&] { return !board->IsKeyMatrixRunning(); }))
        << "an unknown handle means the device is gone";
}

TEST_F(KeyMatrixTest, ShutdownSwitchesTheLedsOffAndStopsTheThread) {
    ASSERT_TRUE(board->EnableLedMatrix(true));
    ASSERT_EQ(board->SetMatrixLed(5, 1), 0);
    ASSERT_TRUE(Registered(recorder));
    board->Shutdown();
    EXPECT_FALSE(board->IsKeyMatrixRunning());
    EXPECT_FALSE(sim->LedMatrixOn());
    EXPECT_FALSE(board->SetKeyMatrixCallback(false, Recorder::Callback, &recorder))
        << "nothing registered any more";
    ASSERT_TRUE(board->SetKeyMatrixCallback(true, Recorder::Callback, &recorder)) << "again";
}

TEST_F(KeyMatrixTest, ARegistrationWhoseThreadCannotStartIsRefused) {
    SimThreadStarter threads;
    threads.Refuse("Key matrix", 1);
    CTarnellController refusing(KitDeviceAt(1), true, threads);
    EXPECT_FALSE(refusing.SetKeyMatrixCallback(true, Recorder::Callback, &recorder));
    EXPECT_FALSE(refusing.IsKeyMatrixRunning());
    EXPECT_FALSE(sim->KeyMatrixOn()) << "nobody reads its reports: switched off again";
    EXPECT_FALSE(refusing.SetKeyMatrixCallback(false, Recorder::Callback, &recorder))
        << "nothing registered";

    const std::size_t before = recorder.Calls().size();
    ASSERT_TRUE(refusing.SetKeyMatrixCallback(true, Recorder::Callback, &recorder));
    ASSERT_EQ(recorder.WaitForCalls(before + 2).size(), before + 2) << "the null call, the state";
    sim->PressKey(0, 2);
    EXPECT_EQ(recorder.WaitForCalls(before + 3).back(), (Keys{4, 0, 0, 0, 0, 0, 0, 0}));
    refusing.Shutdown();
}

TEST_F(KeyMatrixTest, ExchangesWaitForTheKeyMatrixCycle) {
    // Pins and identity asked while the key-matrix thread polls the same pipe: each exchange
    // holds the board's lock from request to answer, so every answer reaches its asker.
    ASSERT_TRUE(Registered(recorder));
    std::uint8_t pins[4] = {};
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(board->ReadPins(pins[0], &pins[1], &pins[2], &pins[3])) << i;
        EXPECT_EQ(pins[3], 0xFF);
    }
    int type = 0, version = 0;
    EXPECT_TRUE(board->GetModuleId(type, version, 1, true));
    EXPECT_EQ(type, 2);
}

}  // namespace
