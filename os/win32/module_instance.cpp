#include "os/win32/module_instance.h"

// The linker places this at the start of the image of the module being linked, so it names
// this DLL even when the host has loaded it under another name.
extern "C" IMAGE_DOS_HEADER __ImageBase;

HINSTANCE ModuleInstance() { return reinterpret_cast<HINSTANCE>(&__ImageBase); }

std::string ModuleFilePath() {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(ModuleInstance(), path, MAX_PATH);
    return std::string(path, length < MAX_PATH ? length : MAX_PATH - 1);
}

std::string SiblingPath(const std::string& path, const char* fileName) {
    const size_t slash = path.rfind('\\');
    return (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + fileName;
}
