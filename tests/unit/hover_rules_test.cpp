// When the pointer holds a popup, which part is followed, and when it lets go.
#include <gtest/gtest.h>

#include "popup/hover_rules.h"

namespace {

const HWND kPopup = (HWND)0x100, kTitle = (HWND)0x104;
const HoverConditions kCanHold = { false, true, true };

bool SamePoint(POINT a, POINT b)
{
    return a.x == b.x && a.y == b.y;
}

}  // namespace

TEST(HoverRules, OnlyAPointerThatMovesOntoAPopupHoldsIt)
{
    struct Row {
        const char *name;
        BOOL held;
        POINT pointer;            // last seen at (5, 5)
        HoverConditions conditions;
        HoverAction action;
        BOOL heldAfter;
        POINT seenAfter;
    } rows[] = {
        { "a move holds", FALSE, { 6, 5 }, kCanHold, HOVER_HOLD, TRUE, { 6, 5 } },
        { "a pointer standing still under a new or moved popup", FALSE, { 5, 5 }, kCanHold, HOVER_NOTHING,
          FALSE, { 5, 5 } },
        { "moves during the show are judged after it", FALSE, { 6, 5 }, { true, true, true },
          HOVER_NOTHING, FALSE, { 5, 5 } },
        { "HoldOnHover off", FALSE, { 6, 5 }, { false, false, true }, HOVER_NOTHING, FALSE, { 6, 5 } },
        { "a popup that stays until clicked has no timer to hold", FALSE, { 6, 5 }, { false, true, false },
          HOVER_NOTHING, FALSE, { 6, 5 } },
        { "held already, the pointer is followed", TRUE, { 5, 5 }, kCanHold, HOVER_FOLLOW, TRUE, { 5, 5 } },
    };
    for (const Row &row : rows) {
        PopupHover hover = { { 5, 5 }, { 0, 0 }, NULL, row.held };
        EXPECT_EQ(row.action, HoverPointerOver(&hover, row.pointer, &row.conditions)) << row.name;
        EXPECT_EQ(row.heldAfter, hover.held) << row.name;
        EXPECT_TRUE(SamePoint(row.seenAfter, hover.pointerSeen)) << row.name;
    }
}

TEST(HoverRules, TheHoldFollowsThePartUnderThePointerAndEndsOffThePopup)
{
    struct Row {
        const char *name;
        BOOL held;
        HWND tracked;
        HWND left;      // a leave notice for this part, or NULL for none
        HWND under;     // the part the pointer is on next; NULL: off the popup
        HoverAction leaveAction, followAction;
        BOOL heldAfter;
        HWND trackedAfter;
    } rows[] = {
        { "onto another part", TRUE, kPopup, kPopup, kTitle, HOVER_FOLLOW, HOVER_FOLLOW, TRUE, NULL },
        { "off the popup", TRUE, kTitle, kTitle, NULL, HOVER_FOLLOW, HOVER_RELEASE, FALSE, NULL },
        { "a stale notice changes nothing", TRUE, kTitle, kPopup, kTitle, HOVER_NOTHING, HOVER_NOTHING, TRUE,
          kTitle },
        { "a notice for a popup not held", FALSE, kTitle, kTitle, kTitle, HOVER_NOTHING, HOVER_NOTHING, FALSE,
          kTitle },
        { "the part followed already", TRUE, kTitle, NULL, kTitle, HOVER_NOTHING, HOVER_NOTHING, TRUE, kTitle },
    };
    for (const Row &row : rows) {
        PopupHover hover = { { 5, 5 }, { 0, 0 }, row.tracked, row.held };
        if (row.left)
            EXPECT_EQ(row.leaveAction, HoverPointerLeft(&hover, row.left)) << row.name;
        EXPECT_EQ(row.followAction, HoverFollowStep(&hover, row.under)) << row.name;
        EXPECT_EQ(row.heldAfter, hover.held) << row.name;
        EXPECT_EQ(row.trackedAfter, hover.tracked) << row.name;
    }

    // Once the system has taken the request, that part is followed; when it
    // refused, the popup is let go.
    PopupHover hover = { { 5, 5 }, { 0, 0 }, NULL, TRUE };
    HoverFollowing(&hover, kTitle);
    EXPECT_EQ(HOVER_NOTHING, HoverFollowStep(&hover, kTitle));
    HoverLetGo(&hover);
    EXPECT_FALSE(hover.held);
    EXPECT_EQ(NULL, hover.tracked);
}

TEST(HoverRules, AHeldPopupsTimerLooksAtThePointerAndLetsGoOnceItIsOff)
{
    PopupHover held = { { 5, 5 }, { 0, 0 }, kTitle, TRUE }, free = { { 5, 5 }, { 0, 0 }, NULL, FALSE };
    EXPECT_EQ(HOVER_CLOSE, HoverTimerTick(&free, kTitle)) << "not held: its time is up";
    EXPECT_EQ(HOVER_NOTHING, HoverTimerTick(&held, kPopup)) << "still on the popup";
    EXPECT_TRUE(held.held);
    EXPECT_EQ(HOVER_RELEASE, HoverTimerTick(&held, NULL)) << "covered, or left without a notice";
    EXPECT_FALSE(held.held);
    EXPECT_EQ(NULL, held.tracked);
}

TEST(HoverRules, OnlyARealMoveOfThePopupNotesThePointer)
{
    PopupHover hover = { { 5, 5 }, { 10, 10 }, NULL, FALSE };
    EXPECT_FALSE(HoverPopupMoved(&hover, { 10, 10 }, false)) << "a change that leaves it where it is";
    EXPECT_TRUE(HoverPopupMoved(&hover, { 12, 10 }, false));
    EXPECT_TRUE(SamePoint({ 12, 10 }, hover.placedAt));
    EXPECT_FALSE(HoverPopupMoved(&hover, { 12, 40 }, true)) << "during the show";
    EXPECT_TRUE(SamePoint({ 12, 40 }, hover.placedAt));
}
