#include "board/tarnell_controllers.h"

#include <cstdio>

#include "config/parse_hex_text.h"
#include "log/log.h"

namespace {

// The kit waits without limit for an answer by default; a board that never answers an
// exchange (a chip without I2C, say) must not hang the panel runtime. The key-matrix thread
// sets its own shorter timeout.
constexpr std::uint32_t kAnswerTimeoutMs = 1000;

}  // namespace

CTarnellControllers::CTarnellControllers(ThreadStarter& threads)
    : deviceCount(KitDeviceCount()), threads(threads) {}

// The kit member closes the kit itself when it still holds a handle.
CTarnellControllers::~CTarnellControllers() {
    if (loaded) CloseAll();
}

std::string CTarnellControllers::DeviceKey(std::uint32_t productId, const std::string& serial) {
    char key[32];
    std::snprintf(key, sizeof key, "%x-%s", productId, serial.c_str());
    return key;
}

std::string CTarnellControllers::KeyAt(int index) const {
    const auto found = keysByIndex.find(index);
    return found == keysByIndex.end() ? std::string() : found->second;
}

bool CTarnellControllers::LoadControllers() {
    if (loaded) return true;
    // A load that failed half-way must be closed before it is tried again.
    if (kit.Handle() != 0) return false;
    kit.SetHandle(KitOpenAll());
    if (kit.Handle() == 0) return false;
    loaded = true;
    deviceCount = KitDeviceCount();
    for (int position = 1; position <= deviceCount; ++position) {
        auto board = std::make_unique<CTarnellController>(KitDeviceAt(position), true, threads);
        KitSetReadTimeout(board->Handle(), kAnswerTimeoutMs);
        const std::string key = DeviceKey(board->ProductId(), board->GetSerialNumber(false));
        keysByIndex[position - 1] = key;
        if (controllers.count(key))
            theLog.Write(1, "MFP", "Two boards have the device key %s (no serial number): only the last is used\n",
                         key.c_str());
        controllers[key] = board.get();
        boards.push_back(std::move(board));
    }
    return loaded;
}

std::map<std::string, CTarnellController*> CTarnellControllers::SelectControllers(
    const std::string& typeText, const std::string& versionText) {
    const auto type = static_cast<int>(ParseHexText(typeText));
    const auto version = static_cast<int>(ParseHexText(versionText));
    std::map<std::string, CTarnellController*> selected;
    for (const auto& [key, board] : controllers) {
        int boardType = 0;
        int boardVersion = 0;
        if (!board->GetModuleId(boardType, boardVersion, 1, false)) {
            // Boards of other products have no module either; a panel that stays silent is
            // otherwise simply missing, with no word why.
            theLog.Write(1, "MFP", "%s gave no module identity: not used as a panel\n",
                         board->GetSerialNumber(false).c_str());
            continue;
        }
        if (boardType == type && boardVersion == version)
            selected[board->GetSerialNumber(false)] = board;
    }
    return selected;
}

// The kit is closed first, so the boards' Shutdown finds their handles gone and leaves the
// LEDs alone (the workers switched them off while the kit was open); a key-matrix thread still
// running ends here.
void CTarnellControllers::CloseAll() {
    if (kit.Handle() != 0 && !kit.IsShared()) {
        KitCloseAll(kit.Handle());
        kit.SetHandle(0);
    }
    loaded = false;
    controllers.clear();
    for (auto& board : boards) {
        try {
            board->Shutdown();
        } catch (...) {
            // Closing goes on for the other boards.
        }
        board.reset();
    }
    boards.clear();
}
