// One table of popups at each display resolution, shared by the layout's
// unit test and the end-to-end test that shows them. Every row is the same
// popup: fixed size (DynamicResize off), beveled, the time and the
// information line shown, not enlarged, the 110-pixel minimum width; and
// the same track's popup sized to its text.
#pragma once

struct ScaledBox {
    int x, y, w, h;
};

struct ScaledPopupRow {
    int dpi;
    int smallIcon;          // the icon column, the icon's size and the centre cascade's step
    int fontHeight;         // lfHeight of both fonts
    int margin;             // between popups, and to the work area's edge
    int frame;              // the popup is this much larger than its content
    ScaledBox popup, back, icon, title, info, time;
    int textHeight;         // sized to the text: a text line's height in the fonts of this resolution
    int textPopupHeight;    // and the popup's height with the two lines
};

static const ScaledPopupRow kScaledPopups[] = {
    { 96, 16, -11, 2, 2, { 0, 0, 151, 36 }, { 1, 1, 149, 34 }, { 3, 1, 16, 34 },
      { 23, 3, 80, 14 }, { 23, 19, 125, 14 }, { 113, 3, 35, 14 }, 13, 34 },
    { 120, 20, -13, 2, 2, { 0, 0, 187, 42 }, { 1, 1, 185, 40 }, { 3, 1, 20, 40 },
      { 28, 3, 100, 17 }, { 28, 22, 156, 17 }, { 141, 3, 43, 17 }, 16, 40 },
    { 144, 24, -16, 3, 3, { 0, 0, 226, 54 }, { 1, 1, 223, 51 }, { 4, 1, 24, 51 },
      { 34, 4, 120, 21 }, { 34, 28, 187, 21 }, { 169, 4, 52, 21 }, 19, 50 },
    { 192, 32, -22, 4, 4, { 0, 0, 302, 72 }, { 2, 2, 298, 68 }, { 6, 2, 32, 68 },
      { 46, 6, 160, 28 }, { 46, 38, 250, 28 }, { 226, 6, 70, 28 }, 27, 70 },
};

// The same fixed-size popup in the look that follows Windows, whose fixed
// sizes are the flat style's: its border on each side and its padding
// inside it, scaled (the border truncates: 1 pixel at 144 dpi, 2 at 192).
struct WindowsLookRow {
    int dpi;
    int smallIcon;
    int border, padding;
    ScaledBox popup, back, icon, title, info, time;
};

static const WindowsLookRow kWindowsLookPopups[] = {
    { 96, 16, 1, 8, { 0, 0, 190, 48 }, { 1, 1, 188, 46 }, { 9, 9, 16, 30 },
      { 35, 9, 101, 14 }, { 35, 25, 146, 14 }, { 146, 9, 35, 14 } },
    { 144, 24, 1, 12, { 0, 0, 284, 71 }, { 1, 1, 282, 69 }, { 13, 13, 24, 45 },
      { 52, 13, 151, 21 }, { 52, 37, 219, 21 }, { 219, 13, 52, 21 } },
    { 192, 32, 2, 16, { 0, 0, 380, 96 }, { 2, 2, 376, 92 }, { 18, 18, 32, 60 },
      { 70, 18, 202, 28 }, { 70, 50, 292, 28 }, { 292, 18, 70, 28 } },
};
