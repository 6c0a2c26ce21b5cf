#include "popup/hover_rules.h"

static bool SamePoint(POINT a, POINT b)
{
    return a.x == b.x && a.y == b.y;
}

HoverAction HoverPointerOver(PopupHover *hover, POINT pointer, const HoverConditions *conditions)
{
    if (conditions->showing)
        return HOVER_NOTHING;
    bool moved = !SamePoint(pointer, hover->pointerSeen);
    hover->pointerSeen = pointer;
    if (hover->followed)
        return HOVER_FOLLOW;
    bool hold = conditions->holdOnHover && conditions->closesByItself;
    if (!moved || !(hold || conditions->controls))
        return HOVER_NOTHING;
    hover->followed = true;
    hover->held = hold;
    return hold ? HOVER_HOLD : HOVER_FOLLOW;
}

HoverAction HoverPointerLeft(PopupHover *hover, HWND left)
{
    if (!hover->followed || left != hover->tracked)
        return HOVER_NOTHING;
    hover->tracked = NULL;
    return HOVER_FOLLOW;
}

HoverAction HoverFollowStep(PopupHover *hover, HWND under)
{
    if (!under) {
        HoverLetGo(hover);
        return HOVER_RELEASE;
    }
    return under == hover->tracked ? HOVER_NOTHING : HOVER_FOLLOW;
}

void HoverFollowing(PopupHover *hover, HWND part)
{
    hover->tracked = part;
}

void HoverLetGo(PopupHover *hover)
{
    hover->held = false;
    hover->followed = false;
    hover->tracked = NULL;
}

HoverAction HoverCheckTick(PopupHover *hover, HWND under)
{
    if (!hover->followed || under)
        return HOVER_NOTHING;
    HoverLetGo(hover);
    return HOVER_RELEASE;
}

bool HoverPopupMoved(PopupHover *hover, POINT to, bool showing)
{
    if (SamePoint(to, hover->placedAt))
        return false;
    hover->placedAt = to;
    return !showing;
}
