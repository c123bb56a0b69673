// IOWarrior: the thin wrapper of one I/O kit device handle, with the device's product id and
// serial number read from the kit on first use.
//
// An IOWarrior that is not `shared` owns the kit: destroying it while it holds a handle closes
// every device (KitCloseAll). The registry's boards are all shared; the registry's own `kit`
// member is the one owner.
#pragma once

#include <cstdint>
#include <string>

#include "iokit/iokit.h"

class IOWarrior {
public:
    explicit IOWarrior(KitHandle handle = 0, bool shared = false);
    ~IOWarrior();
    IOWarrior(const IOWarrior&) = delete;
    IOWarrior& operator=(const IOWarrior&) = delete;

    KitHandle Handle() const { return handle; }
    void SetHandle(KitHandle newHandle) { handle = newHandle; }
    bool IsShared() const { return shared; }

    // The USB product id, fetched from the kit on first use (0 while the handle is unknown).
    std::uint32_t ProductId();
    // The chip's 8-character serial as narrow text; fetched from the kit when refresh is set
    // or nothing is cached yet. Empty when the kit does not know it.
    std::string GetSerialNumber(bool refresh = false);

protected:
    KitHandle handle = 0;
    std::uint32_t productId = 0;  // 0 = not read yet
    bool shared = false;
    wchar_t serial[9] = {};       // empty = not read yet
};
