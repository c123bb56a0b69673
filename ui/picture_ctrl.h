// A static control that shows a compressed picture (JPEG) from a module's resources. The
// picture is drawn at its natural size in the top-left corner, shrunk when the control is
// smaller; it is a link only when a string resource with the control's id exists. It takes over
// a control of a dialog template (Subclass) or creates its own (Create).
#pragma once

#include "ui/static_link.h"

#include <ocidl.h>
#include <olectl.h>

#include <string>

class CPictureCtrl : public CStaticLink {
public:
    explicit CPictureCtrl(bool autoLoad);
    ~CPictureCtrl() override;

    // Which "JPEG" picture to load when the control is attached (subclassed or created);
    // moduleName empty: this module.
    void SetResource(int id, const std::string& moduleName = std::string());
    // Creates the control as a visible child of parent; with autoLoad and no picture loaded by
    // then, it shows this module's "IMAGE" resource whose id is the control's id. False when
    // the window could not be created (a missing picture is no failure).
    bool Create(HWND parent, const RECT& rect, int id);
    // Loads resource id of the given type (null: "IMAGE") from moduleName (empty: this module).
    // True once the resource was found and handed to the picture loader.
    bool LoadPicture(const char* type, int id, const std::string& moduleName = std::string());
    // Width and height in pixels for dc (null: the screen); (0, 0) without a picture.
    SIZE GetPictureSize(HDC dc = nullptr) const;
    bool HasPicture() const { return picture != nullptr; }

protected:
    void PreSubclassWindow() override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void ReleasePicture();
    LRESULT OnCreate(WPARAM wParam, LPARAM lParam);
    void OnPaint();
    void OnEraseBackground(HDC dc);

    IPicture* picture = nullptr;
    bool autoLoad;
    int resourceId = -1;
    std::string moduleName;
};
