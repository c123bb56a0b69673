#include "testbed/standin/device_registry.h"
#include "os/same_name.h"

#include <cfgmgr32.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "config/sim_board_text.h"
#include "testbed/standin/board_script.h"

namespace {

constexpr unsigned long kRootNode = 1;
constexpr unsigned long kHubNode = 2;
constexpr unsigned long kFirstBoardNode = 0x1000;
constexpr unsigned long kFirstForeignNode = 0x2000;
constexpr std::size_t kMaxBoards = 64;  // keeps board nodes below the foreign ones
constexpr std::uint16_t kVendorDefinedPage = 0xFF00;

// A device-interface path as Windows spells it, with \\?\ made a pipe: IsOurDevicePath and the
// logs read the vendor, product and interface from it (none for a device of one interface);
// the instance part names the board.
std::string PipePath(std::uint16_t vendor, std::uint16_t product, int interfaceNumber, const std::string& name) {
    char mi[16] = "";
    if (interfaceNumber >= 0) std::snprintf(mi, sizeof mi, "&mi_%02d", interfaceNumber);
    char path[200];
    std::snprintf(path, sizeof path,
                  "\\\\.\\pipe\\hid#vid_%04x&pid_%04x%s#mfp&%s#{4d1e55b2-f16f-11cf-88cb-001111000030}", vendor,
                  product, mi, name.c_str());
    return path;
}

HidSerialText Units(const char* text) {
    HidSerialText units{};
    for (std::size_t i = 0; i < units.size() && text[i]; ++i) units[i] = static_cast<char16_t>(text[i]);
    return units;
}

}  // namespace

DeviceRegistry& DeviceRegistry::Get() {
    // Never destroyed: the pipe threads may still run while the process exits.
    static DeviceRegistry* registry = [] {
        auto* made = new DeviceRegistry;
        StartKeyScript();  // its thread finds the boards here
        return made;
    }();
    return *registry;
}

DeviceRegistry::DeviceRegistry() {
    HidInterfaceInfo mouse;
    mouse.attributes = {0x046D, 0xC077, 0x7200};
    mouse.caps = {5, 0};
    AddForeign("mouse", -1, mouse, 0x01, 0x02, true);
    // An IO-Warrior 24: our vendor, a product the kit does not drive.
    HidInterfaceInfo iow24;
    iow24.attributes = {0x07C0, 0x1501, 0x1010};
    iow24.caps = {3, 3};
    iow24.hasSerial = true;
    iow24.serial = Units("00001A2B");
    iow24.languageList = HidSerialText{0x0409};
    AddForeign("iow24", 0, iow24, kVendorDefinedPage, 0x01, false);

    // MFP_SIM_FOREIGN=N: N more foreign devices (mice), for measuring the module among many.
    const char* foreignCount = std::getenv("MFP_SIM_FOREIGN");
    for (int n = foreignCount ? std::atoi(foreignCount) : 0; n > 0; --n) {
        HidInterfaceInfo more = mouse;
        more.attributes.productId = static_cast<std::uint16_t>(0xC100 + n);
        AddForeign(("mouse" + std::to_string(n)).c_str(), -1, more, 0x01, 0x02, true);
    }

    const char* boardTexts = std::getenv("MFP_SIM_BOARDS");
    std::string list = boardTexts ? boardTexts : "";
    for (std::size_t from = 0; from <= list.size();) {
        const std::size_t comma = std::min(list.find(',', from), list.size());
        const std::string boardText = list.substr(from, comma - from);
        if (!boardText.empty() && Plug(boardText.c_str()) != 0)
            std::fprintf(stderr, "hid.dll stand-in: MFP_SIM_BOARDS entry \"%s\" ignored\n", boardText.c_str());
        from = comma + 1;
    }
}

void DeviceRegistry::AddForeign(const char* label, int interfaceNumber, HidInterfaceInfo info, std::uint16_t usagePage,
                                std::uint16_t usage, bool stringsFail) {
    Device device;
    device.name = label;
    device.chipNode = kFirstForeignNode + 0x10 * foreign.size();
    info.path = PipePath(info.attributes.vendorId, info.attributes.productId, interfaceNumber, label);
    info.physicalDevice = device.chipNode;
    InterfaceView view;
    view.info = info;
    view.node = device.chipNode + 8;
    view.usagePage = usagePage;
    view.usage = usage;
    view.stringsFail = stringsFail;
    device.foreign.push_back(view);
    StartServers(device);
    foreign.push_back(std::move(device));
}

void DeviceRegistry::StartServers(Device& device) {
    device.servers.clear();
    for (const InterfaceView& view : Interfaces(device)) {
        const int pipe = static_cast<int>(view.node - device.chipNode - 8);
        auto server = std::make_shared<PipeServer>(view.info.path, device.board, pipe);
        server->Start();
        device.servers.push_back(server);
    }
}

// A device's interfaces by interface number, without their servers.
std::vector<InterfaceView> DeviceRegistry::Interfaces(const Device& device) const {
    if (!device.board) return device.foreign;
    std::vector<InterfaceView> views;
    for (const HidInterfaceInfo& info : device.board->Interfaces(device.chipNode)) {
        InterfaceView view;
        const int k = static_cast<int>(views.size());
        view.info = info;
        view.info.path = PipePath(info.attributes.vendorId, info.attributes.productId, k, device.name);
        view.node = device.chipNode + 8 + k;
        view.usagePage = kVendorDefinedPage;
        view.usage = 0x01;
        views.push_back(view);
    }
    return views;
}

std::vector<InterfaceView> DeviceRegistry::Present() const {
    std::lock_guard<std::mutex> hold(lock);
    const auto withServer = [](const Device& device, std::vector<InterfaceView> views) {
        for (std::size_t k = 0; k < views.size() && k < device.servers.size(); ++k) views[k].server = device.servers[k];
        return views;
    };
    std::vector<InterfaceView> present = withServer(foreign[0], foreign[0].foreign);
    std::vector<std::vector<InterfaceView>> perBoard;
    for (const Device& board : boards) perBoard.push_back(board.present ? withServer(board, Interfaces(board))
                                                      : std::vector<InterfaceView>{});
    for (int pass = 0; pass < 2; ++pass) {
        if (pass == 1) present.push_back(withServer(foreign[1], foreign[1].foreign)[0]);
        for (std::size_t d = 0; d < perBoard.size(); ++d) {
            const std::size_t k = d % 2 == 0 ? pass : 1 - pass;
            if (k < perBoard[d].size()) present.push_back(perBoard[d][k]);
        }
    }
    return present;
}

bool DeviceRegistry::OfHandle(HANDLE handle, InterfaceView& view, DWORD& error) const {
    alignas(FILE_NAME_INFO) char buffer[sizeof(FILE_NAME_INFO) + 2 * MAX_PATH] = {};
    error = ERROR_INVALID_FUNCTION;  // not a device at all
    if (!GetFileInformationByHandleEx(handle, FileNameInfo, buffer, sizeof buffer)) return false;
    const auto* info = reinterpret_cast<const FILE_NAME_INFO*>(buffer);
    std::string name;  // "\hid#vid_...": the pipe's name
    for (DWORD i = 0; i < info->FileNameLength / 2; ++i) name += static_cast<char>(info->FileName[i]);
    const std::string prefix = "\\\\.\\pipe";
    bool ours = false;
    for (const InterfaceView& present : Present()) {
        if (!SameName(prefix + name, present.info.path)) continue;
        // A handle from before an unplug names the same pipe but is no longer connected.
        ours = true;
        if (!PeekNamedPipe(handle, nullptr, 0, nullptr, nullptr, nullptr) &&
            (GetLastError() == ERROR_PIPE_NOT_CONNECTED || GetLastError() == ERROR_BROKEN_PIPE))
            break;
        view = present;
        return true;
    }
    if (ours || name.rfind("\\hid#vid_", 0) == 0) error = ERROR_DEVICE_NOT_CONNECTED;
    return false;
}

unsigned long DeviceRegistry::ParentOf(unsigned long node, unsigned long& parent) const {
    if (node == kRootNode) return CR_NO_SUCH_DEVNODE;
    if (node == kHubNode) {
        parent = kRootNode;
        return CR_SUCCESS;
    }
    std::lock_guard<std::mutex> hold(lock);
    for (const std::vector<Device>* list : {&boards, &foreign}) {
        for (const Device& device : *list) {
            if ((node & ~0xFul) != device.chipNode) continue;
            if (!device.present) return CR_NO_SUCH_DEVNODE;
            const unsigned long low = node & 0xF;
            const unsigned long interfaces = Interfaces(device).size();
            if (low == 0) parent = kHubNode;
            else if (low >= 1 && low <= interfaces) parent = device.chipNode;
            else if (low >= 8 && low < 8 + interfaces) parent = device.chipNode + 1 + (low - 8);
            else return CR_INVALID_DEVNODE;
            return CR_SUCCESS;
        }
    }
    return CR_INVALID_DEVNODE;
}

int DeviceRegistry::Plug(const char* boardText) {
    const auto setup = boardText ? ParseSimBoardText(boardText) : std::nullopt;
    if (!setup) return -1;  // a board text admits no backslash, which no pipe name could hold
    std::lock_guard<std::mutex> hold(lock);
    if (Device* known = Find(setup->serial)) {
        if (known->present) return 1;
        known->board->Plug();
        known->present = true;
        StartServers(*known);
        return 0;
    }
    if (boards.size() >= kMaxBoards) return -1;
    Device device;
    device.name = setup->serial;
    device.board = std::make_shared<SimBoard>(*setup);
    device.chipNode = kFirstBoardNode + 0x10 * boards.size();
    StartServers(device);
    boards.push_back(std::move(device));
    return 0;
}

int DeviceRegistry::Unplug(const char* serial) {
    std::lock_guard<std::mutex> hold(lock);
    Device* device = serial ? Find(serial) : nullptr;
    if (!device) return -1;
    if (!device->present) return 0;
    device->present = false;
    device->board->Pull();
    for (auto& server : device->servers) server->Stop();
    device->servers.clear();
    return 0;
}

std::shared_ptr<SimBoard> DeviceRegistry::Board(const char* serial) const {
    std::lock_guard<std::mutex> hold(lock);
    const Device* device = serial ? Find(serial) : nullptr;
    return device ? device->board : nullptr;
}

DeviceRegistry::Device* DeviceRegistry::Find(const std::string& name) {
    for (Device& device : boards) {
        if (SameName(device.name, name)) return &device;
    }
    return nullptr;
}

const DeviceRegistry::Device* DeviceRegistry::Find(const std::string& name) const {
    return const_cast<DeviceRegistry*>(this)->Find(name);
}
