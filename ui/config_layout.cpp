#include "ui/config_layout.h"

ConfigLayout LayOutConfigDialog(const ConfigLayoutStart& s) {
    const long margin = s.dialog.bottom - s.save.bottom;
    const long buttonHeight = s.save.bottom - s.save.top;
    const long buttonWidth = s.save.right - s.save.left;
    const long sheetHeight = s.sheet.bottom - s.sheet.top;
    const long pictureRight = s.banner.left + s.pictureWidth;
    const long pictureBottom = s.banner.top + s.pictureHeight;

    ConfigLayout layout;
    layout.banner = {s.banner.left, s.banner.top, pictureRight, pictureBottom};
    layout.dialog = {s.dialog.left, s.dialog.top, pictureRight + margin,
                     pictureBottom + 3 * margin + sheetHeight + buttonHeight};
    const long sheetTop = pictureBottom + margin;
    layout.sheet = {s.banner.left - s.frameWidth, sheetTop, pictureRight, sheetTop + sheetHeight};
    const long quarter = (layout.dialog.right - s.dialog.left) / 4;
    const long buttonBottom = layout.dialog.bottom - margin;
    layout.save = {s.dialog.left + quarter, buttonBottom - buttonHeight, s.dialog.left + quarter + buttonWidth,
                   buttonBottom};
    const long cancelRight = s.dialog.left + 3 * quarter;
    layout.cancel = {cancelRight - buttonWidth, buttonBottom - buttonHeight, cancelRight, buttonBottom};
    return layout;
}
