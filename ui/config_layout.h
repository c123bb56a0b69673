// Where the configuration dialog puts its banner, tabs and buttons: the banner picture sets the
// width, the tabs keep their height, and the two buttons sit at a quarter and three quarters of
// the window's width. Screen pixels throughout.
#pragma once

struct LayoutRect {
    long left = 0;
    long top = 0;
    long right = 0;
    long bottom = 0;
    bool operator==(const LayoutRect& other) const {
        return left == other.left && top == other.top && right == other.right && bottom == other.bottom;
    }
};

// The windows as the dialog's template made them, and what decides the layout.
struct ConfigLayoutStart {
    LayoutRect banner;
    LayoutRect save;
    LayoutRect sheet;
    LayoutRect dialog;  // its outer rectangle
    long pictureWidth = 0;  // 0 x 0 without a picture
    long pictureHeight = 0;
    long frameWidth = 0;  // the system's dialog frame width
};

struct ConfigLayout {
    LayoutRect banner;
    LayoutRect dialog;
    LayoutRect sheet;
    LayoutRect save;
    LayoutRect cancel;
};

ConfigLayout LayOutConfigDialog(const ConfigLayoutStart& start);
