// The stand-in hid.dll: the HidD_ and HidP_ functions the module's HID side looks up, answered
// from the simulated boards, the board controls of sim_boards_api.h, and what the stand-in
// setupapi.dll and cfgmgr32.dll need (device_tree.h).
//
// The functions are defined against the SDK's own declarations (the header is given C linkage
// here, as the platform's hid.dll exports them), so a prototype that drifts from the header is
// a compile error and each keeps the header's calling convention; hid.def exports them
// undecorated.
#include <windows.h>

extern "C" {
#include <hidsdi.h>
}

#include <cstring>

#include "testbed/standin/pin_library.h"
#include "testbed/standin/device_registry.h"
#include "testbed/standin/device_tree.h"
#include "testbed/standin/sim_boards_api.h"
#include "testbed/standin/worker_pool.h"

namespace {

constexpr std::uint32_t kPreparsedMagic = 0x50444948;  // "HIDP"

struct Preparsed {
    std::uint32_t magic = kPreparsedMagic;
    HIDP_CAPS caps{};
};

DeviceRegistry& Registry() { return DeviceRegistry::Get(); }

bool Lookup(HANDLE device, InterfaceView& view) {
    DWORD error = 0;
    if (Registry().OfHandle(device, view, error)) {
        view.server->KeepSpares();
        return true;
    }
    SetLastError(error);
    return false;
}

Preparsed* Valid(PHIDP_PREPARSED_DATA data) {
    auto* preparsed = reinterpret_cast<Preparsed*>(data);
    return preparsed && preparsed->magic == kPreparsedMagic ? preparsed : nullptr;
}

// A string descriptor (up to its first zero) into the caller's buffer: cut to fit, with a
// terminating zero when there is room, as the USB request answers a short buffer.
BOOLEAN CopyString(const HidSerialText& text, PVOID buffer, ULONG length) {
    if (!buffer) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::size_t units = 0;
    while (units < text.size() && text[units] != 0) ++units;
    const std::size_t room = length / sizeof(char16_t);
    const std::size_t copied = units < room ? units : room;
    std::memcpy(buffer, text.data(), copied * sizeof(char16_t));
    if (copied < room) static_cast<char16_t*>(buffer)[copied] = 0;
    return TRUE;
}

}  // namespace

void NTAPI HidD_GetHidGuid(LPGUID hidGuid) {
    if (hidGuid) *hidGuid = kHidInterfaceClass;
}

BOOLEAN NTAPI HidD_GetAttributes(HANDLE device, PHIDD_ATTRIBUTES attributes) {
    InterfaceView view;
    if (!attributes || !Lookup(device, view)) return FALSE;
    attributes->Size = sizeof *attributes;
    attributes->VendorID = view.info.attributes.vendorId;
    attributes->ProductID = view.info.attributes.productId;
    attributes->VersionNumber = view.info.attributes.versionNumber;
    return TRUE;
}

BOOLEAN NTAPI HidD_GetPreparsedData(HANDLE device, PHIDP_PREPARSED_DATA* data) {
    InterfaceView view;
    if (!data || !Lookup(device, view)) return FALSE;
    auto* preparsed = new Preparsed;
    preparsed->caps.UsagePage = view.usagePage;
    preparsed->caps.Usage = view.usage;
    preparsed->caps.InputReportByteLength = view.info.caps.inputReportByteLength;
    preparsed->caps.OutputReportByteLength = view.info.caps.outputReportByteLength;
    preparsed->caps.NumberLinkCollectionNodes = 1;
    *data = reinterpret_cast<PHIDP_PREPARSED_DATA>(preparsed);
    return TRUE;
}

BOOLEAN NTAPI HidD_FreePreparsedData(PHIDP_PREPARSED_DATA data) {
    Preparsed* preparsed = Valid(data);
    if (!preparsed) return FALSE;
    preparsed->magic = 0;
    delete preparsed;
    return TRUE;
}

NTSTATUS NTAPI HidP_GetCaps(PHIDP_PREPARSED_DATA data, PHIDP_CAPS caps) {
    const Preparsed* preparsed = Valid(data);
    if (!preparsed) return HIDP_STATUS_INVALID_PREPARSED_DATA;
    if (caps) *caps = preparsed->caps;
    return HIDP_STATUS_SUCCESS;
}

BOOLEAN NTAPI HidD_GetSerialNumberString(HANDLE device, PVOID buffer, ULONG length) {
    InterfaceView view;
    if (!Lookup(device, view)) return FALSE;
    if (view.stringsFail || !view.info.hasSerial) {
        SetLastError(ERROR_GEN_FAILURE);
        return FALSE;
    }
    // A chip without a serial string answers with its language list (SimBoard::Interfaces).
    return CopyString(view.info.serial, buffer, length);
}

// Only index 0, the language list, is answered.
BOOLEAN NTAPI HidD_GetIndexedString(HANDLE device, ULONG index, PVOID buffer, ULONG length) {
    InterfaceView view;
    if (!Lookup(device, view)) return FALSE;
    if (view.stringsFail || index != 0) {
        SetLastError(view.stringsFail ? ERROR_GEN_FAILURE : ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return CopyString(view.info.languageList, buffer, length);
}

// The platform keeps 2 to 512 reports per handle; the stand-in applies the count to every
// handle of the interface, since it cannot tell a pipe's clients apart (pipe_server.h).
BOOLEAN NTAPI HidD_SetNumInputBuffers(HANDLE device, ULONG count) {
    InterfaceView view;
    if (!Lookup(device, view)) return FALSE;
    if (count < 2 || count > 512) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    view.server->SetInputBuffers(count);
    return TRUE;
}

BOOLEAN NTAPI HidD_GetNumInputBuffers(HANDLE device, PULONG count) {
    InterfaceView view;
    if (!count || !Lookup(device, view)) return FALSE;
    *count = view.server->InputBuffers();
    return TRUE;
}

// --- The board controls (sim_boards_api.h).

int SimBoardPlug(const char* boardText) { return Registry().Plug(boardText); }

int SimBoardUnplug(const char* serial) { return Registry().Unplug(serial); }

int SimBoardSetKey(const char* serial, int keyByte, int bit, int down) {
    const auto board = Registry().Board(serial);
    if (!board) return -1;
    if (keyByte < 0 || keyByte > 7 || bit < 0 || bit > 7) return -2;
    if (down) board->PressKey(keyByte, bit);
    else board->ReleaseKey(keyByte, bit);
    return 0;
}

int SimBoardMatrix(const char* serial, unsigned rows[8]) {
    const auto board = Registry().Board(serial);
    if (!board) return -1;
    if (!rows) return -2;
    const auto lit = board->LedRows();
    for (int r = 0; r < 8; ++r) rows[r] = lit[r];
    return 0;
}

int SimBoardPorts(const char* serial, unsigned char ports[4]) {
    const auto board = Registry().Board(serial);
    if (!board) return -1;
    if (!ports) return -2;
    const auto lines = board->PortLines();
    for (int p = 0; p < 4; ++p) ports[p] = lines[p];
    return 0;
}

int SimBoardThreads() { return PoolThreadCount(); }

int SimBoardHandles() { return PipeServerHandles(); }

// --- For the stand-in setupapi.dll and cfgmgr32.dll (device_tree.h).

unsigned StandinListInterfaces(StandinInterface* interfaces, unsigned capacity) {
    const auto present = Registry().Present();
    for (unsigned i = 0; i < capacity && i < present.size(); ++i) {
        std::strncpy(interfaces[i].path, present[i].info.path.c_str(), sizeof interfaces[i].path - 1);
        interfaces[i].path[sizeof interfaces[i].path - 1] = '\0';
        interfaces[i].node = present[i].node;
    }
    return static_cast<unsigned>(present.size());
}

unsigned long StandinParentNode(unsigned long node, unsigned long* parent) {
    unsigned long found = 0;
    const unsigned long result = Registry().ParentOf(node, found);
    if (result == 0 && parent) *parent = found;
    return result;
}

// Pinned at load: the pipe threads run code of this library, and the boards must outlive the
// module's FreeLibrary when its kit closes.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) PinLibraryHolding(reinterpret_cast<const void*>(&SimBoardPlug));
    return TRUE;
}
