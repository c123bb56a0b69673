// CTarnellControllers: the registry of attached controller boards. It opens the I/O kit,
// creates one CTarnellController per device the kit offers, names each by its device key
// "%x-%s" (product id in lower-case hexadecimal, serial number), selects the boards of one
// kind for the panel runtime, and closes everything again.
//
// The registry owns its boards; the boards it hands out are borrowed until CloseAll. It is used
// from one thread (the host's window thread); CloseAll runs after the boards' users stopped.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "board/tarnell_controller.h"

class CTarnellControllers {
public:
    // The boards start their key-matrix threads through `threads`, which must outlive them.
    explicit CTarnellControllers(ThreadStarter& threads = StandardThreadStarter());
    virtual ~CTarnellControllers();
    CTarnellControllers(const CTarnellControllers&) = delete;
    CTarnellControllers& operator=(const CTarnellControllers&) = delete;

    // Opens the kit and creates every board; true when at least one device was opened. A second
    // call while loaded returns true without opening again.
    bool LoadControllers();
    // The boards whose sub-module 1 reports the given type and version (hexadecimal texts), by
    // serial number. Boards whose module does not answer are left out.
    std::map<std::string, CTarnellController*> SelectControllers(const std::string& typeText,
                                                                 const std::string& versionText);
    // Closes the kit, then shuts every board down and deletes it.
    void CloseAll();

    bool IsLoaded() const { return loaded; }
    int DeviceCount() const { return deviceCount; }
    // Every board by device key, in key order. Chips without a serial number share a key; the
    // last of them the kit lists holds it.
    const std::map<std::string, CTarnellController*>& Controllers() const { return controllers; }
    // Every board in the kit's order, those that share a key too.
    const std::vector<std::unique_ptr<CTarnellController>>& Boards() const { return boards; }
    // The device key of the kit's device list position 0..; empty when none is known.
    std::string KeyAt(int index) const;

    static std::string DeviceKey(std::uint32_t productId, const std::string& serial);

private:
    bool loaded = false;
    std::vector<std::unique_ptr<CTarnellController>> boards;
    std::map<std::string, CTarnellController*> controllers;
    std::map<int, std::string> keysByIndex;
    // Holds the handle KitOpenAll returned; not shared, so it closes the whole kit.
    IOWarrior kit;
    int deviceCount = 0;
    ThreadStarter& threads;
};
