// The devices the stand-in hid.dll presents: the simulated boards (MFP_SIM_BOARDS, then
// SimBoardPlug) and two foreign HID devices, each interface served by a PipeServer.
//
// Enumeration order, fixed so that the kit meets what real machines show: the mouse; the first
// interface of every present board by board index (even index: interface 0, odd index:
// interface 1); the IO-Warrior 24; then the second interface of every present board. So odd
// boards list interface 1 before interface 0, and the interfaces of two chips interleave.
// A board's index is its position among the boards ever attached (MFP_SIM_BOARDS order, then
// new serials given to SimBoardPlug); unplugging keeps it.
//
// Device nodes: board d's chip (the USB device) is 0x1000 + 0x10 d, its interface k a child
// node chip + 1 + k, and the HID node of interface k (the one SetupDi reports) chip + 8 + k, a
// child of that; so both HID nodes of a chip share their grandparent. Foreign device j uses
// 0x2000 + 0x10 j the same way. Chips hang below node 2, the root hub, below the root node 1.
#pragma once

#include <windows.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "os/sim_board.h"
#include "testbed/standin/pipe_server.h"

// One present HID interface.
struct InterfaceView {
    HidInterfaceInfo info;  // path: the pipe's; physicalDevice: the chip's node
    unsigned long node = 0;  // the HID node
    std::uint16_t usagePage = 0;
    std::uint16_t usage = 0;
    bool stringsFail = false;  // string requests fail (the device stalls them)
    std::shared_ptr<PipeServer> server;
};

class DeviceRegistry {
public:
    // The process's one registry; the first call reads MFP_SIM_BOARDS.
    static DeviceRegistry& Get();

    std::vector<InterfaceView> Present() const;
    // The present interface a client handle of its pipe is connected to; else false with the
    // error the platform gives (ERROR_DEVICE_NOT_CONNECTED for one of ours that is gone).
    bool OfHandle(HANDLE handle, InterfaceView& view, DWORD& error) const;
    // CM_Get_Parent's answer (a CONFIGRET) for a node.
    unsigned long ParentOf(unsigned long node, unsigned long& parent) const;

    int Plug(const char* boardText);
    int Unplug(const char* serial);
    std::shared_ptr<SimBoard> Board(const char* serial) const;

private:
    struct Device {
        std::string name;  // the SERIAL field of the board's board text, or a foreign device's label
        std::shared_ptr<SimBoard> board;  // null for a foreign device
        std::vector<InterfaceView> foreign;  // a foreign device's interfaces
        unsigned long chipNode = 0;
        bool present = true;
        std::vector<std::shared_ptr<PipeServer>> servers;  // one per interface while present
    };

    DeviceRegistry();
    void AddForeign(const char* label, int interfaceNumber, HidInterfaceInfo info, std::uint16_t usagePage,
                    std::uint16_t usage, bool stringsFail);
    void StartServers(Device& device);
    std::vector<InterfaceView> Interfaces(const Device& device) const;
    Device* Find(const std::string& name);
    const Device* Find(const std::string& name) const;

    mutable std::mutex lock;
    std::vector<Device> boards;
    std::vector<Device> foreign;
};
