// The Windows HID services: hid.dll, setupapi.dll and cfgmgr32.dll, loaded by name at run time
// so that nothing of the driver kit is needed to build and a missing function fails cleanly.
#include "os/hid.h"

#include <windows.h>

#include <cfgmgr32.h>
#include <hidsdi.h>
#include <setupapi.h>

#include <cstring>
#include <vector>

namespace {

// Input reports the platform keeps per read handle until the reader thread fetches them.
constexpr ULONG kInputBuffers = 128;

class ScopedHandle {
public:
    explicit ScopedHandle(HANDLE h = INVALID_HANDLE_VALUE) : handle(h) {}
    ~ScopedHandle() { Reset(); }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    void Reset(HANDLE h = INVALID_HANDLE_VALUE) {
        if (Valid()) CloseHandle(handle);
        handle = h;
    }
    bool Valid() const { return handle != INVALID_HANDLE_VALUE && handle != nullptr; }
    HANDLE Get() const { return handle; }

private:
    HANDLE handle;
};

// CancelIo, looked up by name at each call; false when the platform does not have it.
bool CancelPendingIo(HANDLE file) {
    const HMODULE kernel = GetModuleHandleA("kernel32.dll");
    const auto cancelIo = kernel ? reinterpret_cast<decltype(&CancelIo)>(
                                       reinterpret_cast<void*>(GetProcAddress(kernel, "CancelIo")))
                                 : nullptr;
    return cancelIo != nullptr && cancelIo(file);
}

HANDLE OpenOverlapped(const std::string& path, DWORD access) {
    return CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                       FILE_FLAG_OVERLAPPED, nullptr);
}

template <typename Fn>
bool Lookup(HMODULE library, const char* name, Fn& fn) {
    fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(library, name)));
    return fn != nullptr;
}

// The platform functions the kit needs, with the SDK's own prototypes.
struct HidFunctions {
    HMODULE hid = nullptr;
    HMODULE cfgmgr = nullptr;
    HMODULE setupapi = nullptr;
    decltype(&HidD_GetHidGuid) getHidGuid = nullptr;
    decltype(&HidD_GetAttributes) getAttributes = nullptr;
    decltype(&HidD_GetPreparsedData) getPreparsedData = nullptr;
    decltype(&HidP_GetCaps) getCaps = nullptr;
    decltype(&HidD_FreePreparsedData) freePreparsedData = nullptr;
    decltype(&HidD_GetSerialNumberString) getSerialNumberString = nullptr;
    decltype(&HidD_GetIndexedString) getIndexedString = nullptr;
    decltype(&HidD_SetNumInputBuffers) setNumInputBuffers = nullptr;
    decltype(&HidD_GetNumInputBuffers) getNumInputBuffers = nullptr;  // looked up, not called
    decltype(&CM_Get_Parent) getParent = nullptr;
    decltype(&SetupDiGetClassDevsA) getClassDevs = nullptr;
    decltype(&SetupDiEnumDeviceInterfaces) enumDeviceInterfaces = nullptr;
    decltype(&SetupDiGetDeviceInterfaceDetailA) getDeviceInterfaceDetail = nullptr;
    decltype(&SetupDiDestroyDeviceInfoList) destroyDeviceInfoList = nullptr;

    bool LookupAll() {
        return Lookup(hid, "HidD_GetHidGuid", getHidGuid) && Lookup(hid, "HidD_GetAttributes", getAttributes) &&
               Lookup(hid, "HidD_GetPreparsedData", getPreparsedData) && Lookup(hid, "HidP_GetCaps", getCaps) &&
               Lookup(hid, "HidD_FreePreparsedData", freePreparsedData) &&
               Lookup(hid, "HidD_GetSerialNumberString", getSerialNumberString) &&
               Lookup(hid, "HidD_GetIndexedString", getIndexedString) &&
               Lookup(hid, "HidD_SetNumInputBuffers", setNumInputBuffers) &&
               Lookup(hid, "HidD_GetNumInputBuffers", getNumInputBuffers) &&
               Lookup(cfgmgr, "CM_Get_Parent", getParent) &&
               Lookup(setupapi, "SetupDiGetClassDevsA", getClassDevs) &&
               Lookup(setupapi, "SetupDiEnumDeviceInterfaces", enumDeviceInterfaces) &&
               Lookup(setupapi, "SetupDiGetDeviceInterfaceDetailA", getDeviceInterfaceDetail) &&
               Lookup(setupapi, "SetupDiDestroyDeviceInfoList", destroyDeviceInfoList);
    }
};

class Win32ReadStream : public HidReadStream {
public:
    explicit Win32ReadStream(HANDLE fileIn)
        : file(fileIn), readDone(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
          stopEvent(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    ~Win32ReadStream() override { CancelRead(); }

    bool Ready() const { return file.Valid() && readDone.Valid() && stopEvent.Valid(); }

    bool StartRead(std::uint8_t* buffer, std::size_t length) override {
        if (pending) return false;
        target = buffer;
        const DWORD toRead = static_cast<DWORD>(length < sizeof received ? length : sizeof received);
        std::memset(&overlapped, 0, sizeof overlapped);
        overlapped.hEvent = readDone.Get();
        ResetEvent(readDone.Get());
        // The read lands in the stream's own buffer, so a read that cannot be cancelled never
        // writes into memory its reader has let go of.
        if (!ReadFile(file.Get(), received, toRead, nullptr, &overlapped) && GetLastError() != ERROR_IO_PENDING) {
            return false;
        }
        pending = true;
        return true;
    }

    HidReadResult WaitForRead(std::uint32_t timeoutMs, std::size_t& bytesRead) override {
        if (!pending) {
            return WaitForSingleObject(stopEvent.Get(), timeoutMs) == WAIT_OBJECT_0 ? HidReadResult::Stopped
                                                                                     : HidReadResult::TimedOut;
        }
        const HANDLE events[2] = {stopEvent.Get(), readDone.Get()};
        switch (WaitForMultipleObjects(2, events, FALSE, timeoutMs)) {
        case WAIT_OBJECT_0:
            return HidReadResult::Stopped;
        case WAIT_OBJECT_0 + 1: {
            DWORD bytes = 0;
            pending = false;
            if (!GetOverlappedResult(file.Get(), &overlapped, &bytes, FALSE)) return HidReadResult::Failed;
            std::memcpy(target, received, bytes);
            bytesRead = bytes;
            return HidReadResult::Completed;
        }
        case WAIT_TIMEOUT:
            return HidReadResult::TimedOut;
        default:
            CancelRead();
            return HidReadResult::Failed;
        }
    }

    void CancelRead() override {
        if (!pending) return;
        if (CancelPendingIo(file.Get())) {
            DWORD bytes = 0;
            GetOverlappedResult(file.Get(), &overlapped, &bytes, TRUE);
            pending = false;
        }
        // Without CancelIo the read stays pending on the stream's own buffer until the handle
        // is closed.
    }

    void RequestStop() override { SetEvent(stopEvent.Get()); }

private:
    ScopedHandle file;
    ScopedHandle readDone;
    ScopedHandle stopEvent;
    OVERLAPPED overlapped{};
    std::uint8_t received[kHidMaxReportLength] = {};
    std::uint8_t* target = nullptr;
    bool pending = false;
};

class Win32WriteStream : public HidWriteStream {
public:
    explicit Win32WriteStream(HANDLE fileIn) : file(fileIn) {}

    // Each write has its own overlapped block and event, so several threads may write at once.
    HidWriteResult Write(const std::uint8_t* report, std::size_t length, std::uint32_t timeoutMs) override {
        ScopedHandle done(CreateEventA(nullptr, TRUE, FALSE, nullptr));
        if (!done.Valid()) return HidWriteResult::NotStarted;
        std::vector<std::uint8_t> bytes(report, report + length);
        OVERLAPPED overlapped{};
        overlapped.hEvent = done.Get();
        if (!WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(length), nullptr, &overlapped) &&
            GetLastError() != ERROR_IO_PENDING) {
            return HidWriteResult::NotStarted;
        }
        DWORD written = 0;
        if (WaitForSingleObject(done.Get(), timeoutMs) != WAIT_OBJECT_0) {
            CancelPendingIo(file.Get());  // cancels this thread's write only
            GetOverlappedResult(file.Get(), &overlapped, &written, TRUE);
            return HidWriteResult::TimedOut;
        }
        const bool ok = GetOverlappedResult(file.Get(), &overlapped, &written, FALSE) && written > 0;
        return ok ? HidWriteResult::Written : HidWriteResult::Failed;
    }

private:
    ScopedHandle file;
};

class Win32HidBackend : public HidBackend {
public:
    bool Load(std::uint32_t& errorCode) override {
        fn = HidFunctions{};
        fn.hid = LoadLibraryA("hid.dll");
        fn.cfgmgr = LoadLibraryA("cfgmgr32.dll");
        fn.setupapi = LoadLibraryA("setupapi.dll");
        if (fn.hid && fn.cfgmgr && fn.setupapi && fn.LookupAll()) return true;
        errorCode = GetLastError();
        if (errorCode == 0) errorCode = ERROR_PROC_NOT_FOUND;
        Unload();
        return false;
    }

    void Unload() override {
        for (HMODULE library : {fn.hid, fn.cfgmgr, fn.setupapi}) {
            if (library) FreeLibrary(library);
        }
        fn = HidFunctions{};
    }

    std::vector<HidInterfaceInfo> EnumerateInterfaces(const HidDeviceFilter& wanted) override {
        std::vector<HidInterfaceInfo> interfaces;
        if (!fn.getHidGuid) return interfaces;
        GUID hidClass;
        fn.getHidGuid(&hidClass);
        const HDEVINFO set = fn.getClassDevs(&hidClass, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
        if (set == INVALID_HANDLE_VALUE) return interfaces;
        for (DWORD index = 0;; ++index) {
            SP_DEVICE_INTERFACE_DATA data{};
            data.cbSize = sizeof data;
            if (!fn.enumDeviceInterfaces(set, nullptr, &hidClass, index, &data)) break;
            HidInterfaceInfo info;
            if (Describe(set, data, wanted, info)) interfaces.push_back(std::move(info));
        }
        fn.destroyDeviceInfoList(set);
        return interfaces;
    }

    std::unique_ptr<HidReadStream> OpenForReading(const std::string& path) override {
        const HANDLE file = OpenOverlapped(path, GENERIC_READ);
        if (file == INVALID_HANDLE_VALUE) return nullptr;
        if (fn.setNumInputBuffers) fn.setNumInputBuffers(file, kInputBuffers);
        auto stream = std::make_unique<Win32ReadStream>(file);
        if (!stream->Ready()) return nullptr;
        return stream;
    }

    std::shared_ptr<HidWriteStream> OpenForWriting(const std::string& path) override {
        const HANDLE file = OpenOverlapped(path, GENERIC_WRITE);
        if (file == INVALID_HANDLE_VALUE) return nullptr;
        return std::make_shared<Win32WriteStream>(file);
    }

private:
    // Path, device node, attributes, report lengths and serial of one interface; false for an
    // interface of another device, which is asked for nothing beyond its attributes.
    bool Describe(HDEVINFO set, SP_DEVICE_INTERFACE_DATA& data, const HidDeviceFilter& wanted,
                  HidInterfaceInfo& info) {
        DWORD size = 0;
        fn.getDeviceInterfaceDetail(set, &data, nullptr, 0, &size, nullptr);
        if (size < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A)) return false;
        std::vector<std::uint8_t> detailBytes(size);
        auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(detailBytes.data());
        detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
        SP_DEVINFO_DATA node{};
        node.cbSize = sizeof node;
        if (!fn.getDeviceInterfaceDetail(set, &data, detail, size, nullptr, &node)) return false;
        info.path = detail->DevicePath;

        const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE;
        ScopedHandle query(CreateFileA(info.path.c_str(), GENERIC_READ | GENERIC_WRITE, share, nullptr,
                                       OPEN_EXISTING, 0, nullptr));
        // Keyboards and mice refuse read and write access; queries need none.
        if (!query.Valid()) query.Reset(CreateFileA(info.path.c_str(), 0, share, nullptr, OPEN_EXISTING, 0, nullptr));
        if (!query.Valid()) return false;

        HIDD_ATTRIBUTES attributes{};
        attributes.Size = sizeof attributes;
        if (!fn.getAttributes(query.Get(), &attributes)) return false;
        info.attributes = {attributes.VendorID, attributes.ProductID, attributes.VersionNumber};
        if (!wanted.Accepts(info.attributes)) return false;

        PHIDP_PREPARSED_DATA parsed = nullptr;
        if (fn.getPreparsedData(query.Get(), &parsed)) {
            HIDP_CAPS caps{};
            if (fn.getCaps(parsed, &caps) == HIDP_STATUS_SUCCESS) {
                info.caps = {caps.InputReportByteLength, caps.OutputReportByteLength};
            }
            fn.freePreparsedData(parsed);
        }

        // The USB device is the parent of the parent of the HID interface's node. Without it
        // the interface gets a group of its own (its own node, kept apart from real devices).
        DEVINST parent = 0, grandparent = 0;
        if (fn.getParent(&parent, node.DevInst, 0) == CR_SUCCESS &&
            fn.getParent(&grandparent, parent, 0) == CR_SUCCESS) {
            info.physicalDevice = grandparent;
        } else {
            info.physicalDevice = (std::uint64_t{1} << 32) | node.DevInst;
        }

        static_assert(sizeof(HidSerialText) == 18, "the serial is 9 UTF-16 units");
        info.hasSerial = fn.getSerialNumberString(query.Get(), info.serial.data(), sizeof(HidSerialText));
        if (!info.hasSerial) {
            info.serial = {};
        } else {
            std::uint8_t languages[512] = {};
            fn.getIndexedString(query.Get(), 0, languages, sizeof languages);
            std::memcpy(info.languageList.data(), languages, sizeof(HidSerialText));
        }
        return true;
    }

    HidFunctions fn;
};

}  // namespace

// Never destroyed: its destructor would run at the end of the process, inside the loader's lock,
// and a kit still open then would call into it afterwards.
HidBackend& PlatformHidBackend() {
    static Win32HidBackend& backend = *new Win32HidBackend;
    return backend;
}
