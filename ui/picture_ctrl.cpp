#include "ui/picture_ctrl.h"

#include "os/win32/module_instance.h"

#include <cstring>

namespace {

constexpr int kHimetricPerInch = 2540;

// A stream over a private copy of the bytes, released with the stream.
IStream* StreamOver(const void* bytes, DWORD size) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!memory) return nullptr;
    if (void* target = GlobalLock(memory)) {
        std::memcpy(target, bytes, size);
        GlobalUnlock(memory);
    }
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(memory, TRUE, &stream))) {
        GlobalFree(memory);
        return nullptr;
    }
    return stream;
}

}  // namespace

CPictureCtrl::CPictureCtrl(bool autoLoad) : CStaticLink(nullptr, false), autoLoad(autoLoad) {}

CPictureCtrl::~CPictureCtrl() { ReleasePicture(); }

void CPictureCtrl::SetResource(int id, const std::string& name) {
    resourceId = id;
    moduleName = name;
}

bool CPictureCtrl::Create(HWND parent, const RECT& rect, int id) {
    return CreateControl("STATIC", WS_CHILD | WS_VISIBLE, rect, parent, id);
}

void CPictureCtrl::ReleasePicture() {
    if (picture) picture->Release();
    picture = nullptr;
}

bool CPictureCtrl::LoadPicture(const char* type, int id, const std::string& name) {
    HMODULE library = name.empty() ? nullptr : LoadLibraryExA(name.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HMODULE source = name.empty() ? ModuleInstance() : library;
    bool found = false;
    HRSRC resource = source ? FindResourceA(source, MAKEINTRESOURCEA(id), type ? type : "IMAGE") : nullptr;
    const DWORD size = resource ? SizeofResource(source, resource) : 0;
    HGLOBAL loaded = size ? LoadResource(source, resource) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (bytes) {
        found = true;
        ReleasePicture();
        if (IStream* stream = StreamOver(bytes, size)) {
            // The loader's own verdict does not change the result: a picture it cannot read
            // simply leaves the control empty.
            OleLoadPicture(stream, static_cast<LONG>(size), FALSE, IID_IPicture,
                           reinterpret_cast<void**>(&picture));
            stream->Release();
        }
    }
    if (library) FreeLibrary(library);
    return found;
}

SIZE CPictureCtrl::GetPictureSize(HDC dc) const {
    SIZE size{0, 0};
    if (!picture) return size;
    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
    picture->get_Width(&width);
    picture->get_Height(&height);
    HDC screen = dc ? nullptr : GetDC(nullptr);
    HDC target = dc ? dc : screen;
    size.cx = MulDiv(width, GetDeviceCaps(target, LOGPIXELSX), kHimetricPerInch);
    size.cy = MulDiv(height, GetDeviceCaps(target, LOGPIXELSY), kHimetricPerInch);
    if (screen) ReleaseDC(nullptr, screen);
    return size;
}

void CPictureCtrl::PreSubclassWindow() {
    if (autoLoad && GetDlgCtrlID(Window()) >= 1 && !picture) {
        InvalidateRect(Window(), nullptr, TRUE);
        LoadPicture("JPEG", resourceId, moduleName);
    }
    char probe[8];
    inactive = LoadStringA(ModuleInstance(), GetDlgCtrlID(Window()), probe, sizeof probe) == 0;
}

LRESULT CPictureCtrl::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        return OnCreate(wParam, lParam);
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_ERASEBKGND:
        OnEraseBackground(reinterpret_cast<HDC>(wParam));
        return TRUE;
    default:
        return CStaticLink::HandleMessage(message, wParam, lParam);
    }
}

LRESULT CPictureCtrl::OnCreate(WPARAM wParam, LPARAM lParam) {
    if (CStaticLink::HandleMessage(WM_CREATE, wParam, lParam) == -1) return -1;
    const int id = GetDlgCtrlID(Window());
    if (autoLoad && id >= 1 && !picture) {
        InvalidateRect(Window(), nullptr, TRUE);
        LoadPicture(nullptr, id);
    }
    return 0;
}

void CPictureCtrl::OnPaint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(Window(), &paint);
    if (picture) {
        RECT client;
        GetClientRect(Window(), &client);
        const SIZE size = GetPictureSize(dc);
        const LONG width = size.cx < client.right ? size.cx : client.right;
        const LONG height = size.cy < client.bottom ? size.cy : client.bottom;
        OLE_XSIZE_HIMETRIC himetricWidth = 0;
        OLE_YSIZE_HIMETRIC himetricHeight = 0;
        picture->get_Width(&himetricWidth);
        picture->get_Height(&himetricHeight);
        // HIMETRIC runs bottom-up: start at the bottom edge with a negative height.
        picture->Render(dc, 0, 0, width, height, 0, himetricHeight, himetricWidth, -himetricHeight,
                        nullptr);
    }
    EndPaint(Window(), &paint);
}

void CPictureCtrl::OnEraseBackground(HDC dc) {
    RECT client;
    GetClientRect(Window(), &client);
    const SIZE size = GetPictureSize(dc);
    SaveDC(dc);
    ExcludeClipRect(dc, 0, 0, size.cx, size.cy);
    auto brush = reinterpret_cast<HBRUSH>(GetClassLongPtrA(Window(), GCLP_HBRBACKGROUND));
    FillRect(dc, &client, brush ? brush : GetSysColorBrush(COLOR_BTNFACE));
    RestoreDC(dc, -1);
}
