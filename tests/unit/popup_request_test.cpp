// Which requests are shown, and for how long.
#include <gtest/gtest.h>

#include "popup/popup.h"
#include "popup/record.h"
#include "popup/request.h"

namespace {

PopupRequest *NewRequest()
{
    static PopupRequest request;
    memset(&request, 0, sizeof(request));
    request.Icon = LoadIcon(NULL, IDI_APPLICATION);
    lstrcpyW(request.Title, L"Title");
    return &request;
}

}  // namespace

TEST(PopupRequest, ValidityRules)
{
    PopupRequest *r = NewRequest();
    EXPECT_TRUE(IsPopupRequestValid(r));

    r->Text[0] = 0;   // an empty information line is fine
    EXPECT_TRUE(IsPopupRequestValid(r));

    r->BackColour = r->TextColour = 0;
    EXPECT_TRUE(IsPopupRequestValid(r));
    r->BackColour = r->TextColour = 0x00FFFFFF;
    EXPECT_FALSE(IsPopupRequestValid(r));
    r->TextColour = 0;
    EXPECT_TRUE(IsPopupRequestValid(r));

    r = NewRequest();
    r->Icon = NULL;
    EXPECT_FALSE(IsPopupRequestValid(r));
    r = NewRequest();
    r->Title[0] = 0;
    EXPECT_FALSE(IsPopupRequestValid(r));
}

TEST(PopupRequest, DisplayTimeFromTheSecondsSetting)
{
    EXPECT_EQ(4, TimeoutFromSeconds(4));
    EXPECT_EQ(-1, TimeoutFromSeconds(0));
    EXPECT_EQ(-1, TimeoutFromSeconds(-3));

    EXPECT_EQ(0u, CloseTimerPeriod(-1, 4));
    EXPECT_EQ(5000u, CloseTimerPeriod(5, 4));
    EXPECT_EQ(4000u, CloseTimerPeriod(0, 4));
    // A request asking for the setting while it says "until clicked" stays.
    EXPECT_EQ(0u, CloseTimerPeriod(0, 0));
    // Huge timeouts do not wrap into a short timer.
    EXPECT_GE(CloseTimerPeriod(0x7FFFFFFF, 4), 2147483000u);
}

TEST(PopupRequest, RefusedWhileTheEngineIsNotRunning)
{
    // Nothing started the engine in this program: no list lock, no fonts,
    // no class. Submission must refuse without touching any of it.
    PopupRequest *r = NewRequest();
    EXPECT_FALSE(SubmitPopup(r));
    EXPECT_FALSE(SubmitPopupTimed(r));
    EXPECT_EQ(0, GetPopupCount());
    EXPECT_STREQ(L"Title", r->Title);
}
