// The size of a popup and the places of its children.
#ifndef TUNEBELL_POPUP_LAYOUT_H
#define TUNEBELL_POPUP_LAYOUT_H

#include <windows.h>

struct PopupWindowRecord;

struct LayoutBox {
    int x, y, w, h;
};

// Text sizes (measured in the fonts of the popup's resolution, or the fixed
// sizes of the style at 96 dpi), and what the layout depends on.
struct LayoutInput {
    int titleW, titleH;
    int infoW, infoH;      // infoH already multiplied by the line count
    int timeW, timeH;
    bool measured;         // the text sizes are at dpi already
    int dpi;               // of the popup's monitor
    int smallIconWidth;    // the icon column, at dpi
    int coverBox;          // a cover's side at dpi in place of the icon; 0: the icon
    bool showText, displayTime;
    bool enlarge;
    int enlargement;       // per cent, applied as E / 96
    bool useMinimumWidth;
    int minimumWidth;      // both widths at 96 dpi
    bool useMaximumWidth;
    int maximumWidth;
    int widest;            // the widest popup the screen takes, frame included;
                           // 0: no limit
    bool windowsLook;      // the look that follows Windows: its border, padding and gaps
};

struct PopupLayout {
    LayoutBox popup, back, icon, title, info, time;
    bool titleCut, infoCut;   // the line is narrower than its text
};

// Pure: the popup and its children from the sizes and settings. A popup the
// screen cannot take whole is as wide as `widest`, both text lines narrowed
// to the room left.
PopupLayout ComputePopupLayout(const LayoutInput *in);

// The frame around the content, and the width of its lines, at a
// resolution: the popup is this much larger than its content. Pure.
int FrameBorder(int dpi);
// The border of the look that follows Windows, on each side. Pure.
int WindowsLookBorder(int dpi);

// The fixed text sizes at 96 dpi when popups are not sized to their text.
void FixedTextSizes(int style, LayoutInput *in);

// Which part of a multi-line information text is measured: lines are looked
// at from the last to the first, a later line together with the line feed
// before it; a line wins only when strictly longer. Pure.
void ChooseLineToMeasure(const WCHAR *text, int *start, int *length, int *lineCount);

// Sizes the popup (left at the screen origin), no wider than the work area
// it will be placed in, and arranges its children.
void LayoutPopup(const PopupWindowRecord *record, const RECT *workArea);

#endif
