// The input dispatch: switch reports from the board's key-matrix thread become simulator
// events and keystrokes.
#include <cstdio>
#include <thread>

#include "catalogue/event_catalogue.h"
#include "log/log.h"
#include "panels/mfp_worker.h"

namespace {

const char kModuleName[] = "MFPWorker";


// Searched in this order; the first found is the view.
const char* const kViewTitles[] = {"COCKPIT - View 00", "SPOT - View 00",
                                   "VIRTUAL COCKPIT - View 00", "TOWER - View 00",
                                   "TOP-DOWN - View 00"};

}  // namespace

uint8_t KeystrokeVirtualKey(uint32_t eventId) {
    constexpr uint32_t kVirtualKeyF1 = 0x70;
    if (eventId >= kFirstKeyboardEvent && eventId < kFirstKeyboardEvent + 12)  // F1..F12
        return static_cast<uint8_t>(kVirtualKeyF1 + eventId - kFirstKeyboardEvent);
    if (eventId >= 0x100000D && eventId <= 0x1000026) return eventId - 0xFFFFCC;  // A..Z
    if (eventId >= 0x1000027 && eventId <= 0x1000030) return eventId - 0xFFFFF7;  // 0..9
    switch (eventId) {
        case 0x1000031: return 0xA4;  // left Alt
        case 0x1000032: return 0xA2;  // left Control
        case 0x1000033: return 0xA5;  // right Alt
        case 0x1000034: return 0xA3;  // right Control
        case 0x1000035: return 0x12;  // Alt
        case 0x1000036: return 0x11;  // Control
        case 0x1000037: return 0x2C;  // Print Screen
        case 0x1000038: return 0x13;  // Pause
        case 0x1000039: return 0x09;  // Tab
        default: return 0;
    }
}

int CMFPWorker::OnInputsChanged(const std::string& serial, const uint8_t* keys, void* context) {
    if (context == nullptr || keys == nullptr) return 1;
    static_cast<CMFPWorker*>(context)->InputsChanged(serial, keys);
    return 1;
}

void CMFPWorker::InputsChanged(const std::string& serial, const uint8_t* keys) {
    InputChange change;
    change.serial = serial;
    std::copy(keys, keys + 8, change.keys.begin());
    if (change.keys == lastInputs) return;
    for (int port = 0; port < 8; ++port) {
        const uint8_t changed = keys[port] ^ lastInputs[port];
        for (int bit = 0; bit < 8; ++bit) {
            if ((changed & (1u << bit)) == 0) continue;
            const bool on = (keys[port] & (1u << bit)) != 0;
            change.port = port;
            change.bit = bit;
            change.pressed = on ? 1 : 0;
            change.released = on ? 0 : 1;
            DispatchInput(change);
        }
    }
    lastInputs = change.keys;
    uint64_t packed = 0;
    for (int port = 7; port >= 0; --port) packed = packed << 8 | lastInputs[port];
    inputsSeen = packed;
}

void CMFPWorker::DispatchInput(const InputChange& change) {
    const std::string key = InputKey(change.port, change.bit);
    MFPInput input;
    {
        std::lock_guard<std::mutex> guard(inputsLock);
        auto found = inputs.find(key);
        // A bit without an entry gets one with every field 0, used like any other.
        if (found == inputs.end()) found = inputs.emplace(key, MFPInput{0, 0, 0, 0}).first;
        input = found->second;
    }
    if (!change.pressed) return;
    theLog.Write(0, kModuleName, "%s:%s pressed\n", change.serial.c_str(), key.c_str());
    if (input.eventId == kNoActionEvent) return;
    if (!simulatorFound) {
        theLog.Write(0, kModuleName, "trigger_key_event(%ld, %d)\n",
                     static_cast<long>(input.eventId), input.value);
        return;
    }
    // What the host or the keyboard throws ends this one action; the next switch still acts.
    try {
        if (input.eventId >= kFirstKeyboardEvent && input.eventId <= kLastKeyboardEvent) {
            theLog.Write(0, kModuleName, "Performing custom action (%ld)\n",
                         static_cast<long>(input.eventId));
            SendKeystroke(input.eventId, input.value);
            return;
        }
        theLog.Write(0, kModuleName, "Performing FS action(%ld)\n",
                     static_cast<long>(input.eventId));
        services.host.TriggerKeyEvent(input.eventId, static_cast<uint32_t>(input.value));
    } catch (...) {
        theLog.Write(2, kModuleName, "Action %s of %s stopped by an exception\n", key.c_str(),
                     change.serial.c_str());
    }
}

// The configured value is never used: a keystroke is one key down and up.
int CMFPWorker::SendKeystroke(uint32_t eventId, int32_t /*value*/) {
    const uint8_t virtualKey = KeystrokeVirtualKey(eventId);
    if (virtualKey == 0) return -1;
    if (services.windows.IsWindow(mainWindow)) services.keyboard.BringToForeground(mainWindow);
    theLog.Write(0, kModuleName, "Sending keyboard event to FS\n");
    services.keyboard.SendKey(virtualKey, false);
    std::this_thread::sleep_for(kKeyPressTime);
    services.keyboard.SendKey(virtualKey, true);
    return 0;
}

WindowHandle CMFPWorker::FindSimulatorView() {
    theLog.Write(0, kModuleName, "Checking for the FS window...\n");
    for (const char* title : kViewTitles) {
        const WindowHandle view =
            services.windows.FindChildWindow(mainWindow, kViewWindowClass, title);
        if (view != 0) {
            theLog.Write(0, kModuleName, "Found %.08x\n", static_cast<unsigned>(view));
            return view;
        }
    }
    theLog.Write(0, kModuleName, "Window not found\n");
    return 0;
}
