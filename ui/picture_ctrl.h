// A static control that shows a compressed picture (JPEG) from a module's resources. The
// picture is drawn at its natural size in the top-left corner, shrunk when the control is
// smaller; it is a link only when a string resource with the control's id exists.
#pragma once

#include "ui/static_link.h"

#include <ocidl.h>
#include <olectl.h>

#include <string>

class CPictureCtrl : public CStaticLink {
public:
    explicit CPictureCtrl(bool autoLoad);
    ~CPictureCtrl() override;

    // Which picture to load when the control is subclassed; moduleName empty: this module.
    void SetResource(int id, const std::string& moduleName = std::string());
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
    void OnPaint();
    void OnEraseBackground(HDC dc);

    IPicture* picture = nullptr;
    bool autoLoad;
    int resourceId = -1;
    std::string moduleName;
};
