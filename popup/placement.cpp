#include "popup/placement.h"
#include "popup/record.h"
#include "settings/settings.h"

RECT PlaceAfter(int position, int spreading, const RECT *workArea, int w, int h,
                const RECT *previous, const PopupScale *scale)
{
    const RECT &a = *workArea;
    const RECT &r = *previous;
    const int m = ScaledLength(POPUP_MARGIN, scale->dpi);
    bool first = r.left == r.right && r.top == r.bottom && r.left == 0;
    bool row = spreading == SPREAD_ROW;
    int x, y;

    switch (position) {
    case POSITION_UPPER_LEFT:
        x = first || !row ? a.left + m : r.right + m;
        y = first || row ? a.top + m : r.bottom + m;
        break;
    case POSITION_LOWER_LEFT:
        x = first || !row ? a.left + m : r.right + m;
        y = first || row ? a.bottom - h - m : r.top - h - m;
        break;
    case POSITION_LOWER_RIGHT:
        x = first || !row ? a.right - w - m : r.left - w - m;
        y = first || row ? a.bottom - h - m : r.top - h - m;
        break;
    case POSITION_UPPER_RIGHT:
        x = first || !row ? a.right - w - m : r.left - w - m;
        y = first || row ? a.top + m : r.bottom + m;
        break;
    default:  // POSITION_CENTRE: each further popup cascades by one small icon
        if (first) {
            x = a.left + (a.right - a.left - w) / 2;
            y = a.top + (a.bottom - a.top - h) / 2;
        } else {
            x = r.left + scale->smallIconWidth;
            y = r.top + scale->smallIconHeight;
        }
        break;
    }
    RECT placed = { x, y, x + w, y + h };
    return placed;
}

bool PlacePopup(HWND popup, const PlacementPass *pass, RECT *rect)
{
    RECT window;
    if (!GetWindowRect(popup, &window))
        return false;
    // By the scale the popup was made with.
    PopupWindowRecord *record = GetPopupRecord(popup);
    PopupScale scale = record ? record->Scale : BaseScale();
    *rect = PlaceAfter(pass->position, pass->spreading, &pass->workArea, window.right - window.left,
                       window.bottom - window.top, rect, &scale);
    return true;
}
