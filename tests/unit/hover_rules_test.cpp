// When the pointer holds a popup, which part is followed, and when it lets go.
#include <gtest/gtest.h>

#include "popup/hover_rules.h"

namespace {

const HWND kPopup = (HWND)0x100, kTitle = (HWND)0x104;
const HoverConditions kCanHold = { false, true, true, false };
const HoverConditions kControlsOnly = { false, false, true, true };

bool SamePoint(POINT a, POINT b)
{
    return a.x == b.x && a.y == b.y;
}

}  // namespace

TEST(HoverRules, OnlyAPointerThatMovesOntoAPopupHoldsItOrIsFollowedForTheControls)
{
    struct Row {
        const char *name;
        bool held;
        POINT pointer;            // last seen at (5, 5)
        HoverConditions conditions;
        HoverAction action;
        bool heldAfter, followedAfter;
        POINT seenAfter;
    } rows[] = {
        { "a move holds", false, { 6, 5 }, kCanHold, HOVER_HOLD, true, true, { 6, 5 } },
        { "a pointer standing still under a new or moved popup", false, { 5, 5 }, kCanHold, HOVER_NOTHING,
          false, false, { 5, 5 } },
        { "moves during the show are judged after it", false, { 6, 5 }, { true, true, true, true },
          HOVER_NOTHING, false, false, { 5, 5 } },
        { "HoldOnHover off", false, { 6, 5 }, { false, false, true, false }, HOVER_NOTHING, false, false,
          { 6, 5 } },
        { "a popup that stays until clicked has no timer to hold", false, { 6, 5 }, { false, true, false, false },
          HOVER_NOTHING, false, false, { 6, 5 } },
        { "held already, the pointer is followed", true, { 5, 5 }, kCanHold, HOVER_FOLLOW, true, true, { 5, 5 } },
        { "the controls follow a pointer they do not hold", false, { 6, 5 }, kControlsOnly, HOVER_FOLLOW, false,
          true, { 6, 5 } },
        { "not for a pointer standing still", false, { 5, 5 }, kControlsOnly, HOVER_NOTHING, false, false,
          { 5, 5 } },
    };
    for (const Row &row : rows) {
        PopupHover hover = { { 5, 5 }, { 0, 0 }, NULL, row.held, row.held };
        EXPECT_EQ(row.action, HoverPointerOver(&hover, row.pointer, &row.conditions)) << row.name;
        EXPECT_EQ(row.heldAfter, hover.held) << row.name;
        EXPECT_EQ(row.followedAfter, hover.followed) << row.name;
        EXPECT_TRUE(SamePoint(row.seenAfter, hover.pointerSeen)) << row.name;
    }
}

TEST(HoverRules, FollowingTracksThePartUnderThePointerAndEndsOffThePopup)
{
    struct Row {
        const char *name;
        bool held;
        HWND tracked;
        HWND left;      // a leave notice for this part, or NULL for none
        HWND under;     // the part the pointer is on next; NULL: off the popup
        HoverAction leaveAction, followAction;
        bool heldAfter;
        HWND trackedAfter;
    } rows[] = {
        { "onto another part", true, kPopup, kPopup, kTitle, HOVER_FOLLOW, HOVER_FOLLOW, true, NULL },
        { "off the popup", true, kTitle, kTitle, NULL, HOVER_FOLLOW, HOVER_RELEASE, false, NULL },
        { "a stale notice changes nothing", true, kTitle, kPopup, kTitle, HOVER_NOTHING, HOVER_NOTHING, true,
          kTitle },
        { "a notice for a popup not followed", false, kTitle, kTitle, kTitle, HOVER_NOTHING, HOVER_NOTHING, false,
          kTitle },
        { "the part followed already", true, kTitle, NULL, kTitle, HOVER_NOTHING, HOVER_NOTHING, true, kTitle },
    };
    for (const Row &row : rows) {
        PopupHover hover = { { 5, 5 }, { 0, 0 }, row.tracked, row.held, row.held };
        if (row.left)
            EXPECT_EQ(row.leaveAction, HoverPointerLeft(&hover, row.left)) << row.name;
        EXPECT_EQ(row.followAction, HoverFollowStep(&hover, row.under)) << row.name;
        EXPECT_EQ(row.heldAfter, hover.held) << row.name;
        EXPECT_EQ(row.trackedAfter, hover.tracked) << row.name;
    }

    // Once the system has taken the request, that part is followed; when it
    // refused, the popup is let go.
    PopupHover hover = { { 5, 5 }, { 0, 0 }, NULL, true, true };
    HoverFollowing(&hover, kTitle);
    EXPECT_EQ(HOVER_NOTHING, HoverFollowStep(&hover, kTitle));
    HoverLetGo(&hover);
    EXPECT_FALSE(hover.held);
    EXPECT_FALSE(hover.followed);
    EXPECT_EQ(NULL, hover.tracked);
}

TEST(HoverRules, TheCheckTimerLooksAtThePointerAndLetsGoOnceItIsOff)
{
    PopupHover held = { { 5, 5 }, { 0, 0 }, kTitle, true, true }, free = { { 5, 5 }, { 0, 0 }, NULL, false, false };
    EXPECT_EQ(HOVER_NOTHING, HoverCheckTick(&free, NULL)) << "nothing followed: a stale tick";
    EXPECT_EQ(HOVER_NOTHING, HoverCheckTick(&held, kPopup)) << "still on the popup";
    EXPECT_TRUE(held.held);
    EXPECT_EQ(HOVER_RELEASE, HoverCheckTick(&held, NULL)) << "covered, or left without a notice";
    EXPECT_FALSE(held.held);
    EXPECT_FALSE(held.followed);
    EXPECT_EQ(NULL, held.tracked);
}

TEST(HoverRules, OnlyARealMoveOfThePopupNotesThePointer)
{
    PopupHover hover = { { 5, 5 }, { 10, 10 }, NULL, false };
    EXPECT_FALSE(HoverPopupMoved(&hover, { 10, 10 }, false)) << "a change that leaves it where it is";
    EXPECT_TRUE(HoverPopupMoved(&hover, { 12, 10 }, false));
    EXPECT_TRUE(SamePoint({ 12, 10 }, hover.placedAt));
    EXPECT_FALSE(HoverPopupMoved(&hover, { 12, 40 }, true)) << "during the show";
    EXPECT_TRUE(SamePoint({ 12, 40 }, hover.placedAt));
}
