#include "popup/pointer.h"

bool IsPartOfPopup(HWND window, HWND popup)
{
    return window && (window == popup || GetParent(window) == popup);
}

HWND PartUnderPointer(HWND popup, POINT *at)
{
    POINT pointer;
    if (!GetCursorPos(&pointer))
        return NULL;
    if (at)
        *at = pointer;
    HWND under = WindowFromPoint(pointer);
    return IsPartOfPopup(under, popup) ? under : NULL;
}
