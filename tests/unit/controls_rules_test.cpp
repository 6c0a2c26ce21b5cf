// The popup's controls: what each sends, the volume under the wheel, the rest
// of the pointer, and where buttons, glyphs and the volume bar go.
#include <gtest/gtest.h>

#include "popup/controls_rules.h"
#include "base/player.h"

TEST(ControlsRules, EachButtonSendsThePlayersOwnCommandAndPlayPauseSaysWhatItWillDo)
{
    struct Row {
        int playState;
        int previous, playPause, next;
        const WCHAR *text;
    } rows[] = {
        { PLAY_PLAYING, 40044, 40046, 40048, L"Pause" },
        { PLAY_PAUSED, 40044, 40046, 40048, L"Play" },    // pause resumes
        { PLAY_STOPPED, 40044, 40045, 40048, L"Play" },
        { 7, 40044, 40045, 40048, L"Play" },               // a state the player never gives
    };
    for (const Row &row : rows) {
        EXPECT_EQ(row.previous, ControlCommand(CONTROL_PREVIOUS, row.playState)) << row.playState;
        EXPECT_EQ(row.playPause, ControlCommand(CONTROL_PLAY_PAUSE, row.playState)) << row.playState;
        EXPECT_EQ(row.next, ControlCommand(CONTROL_NEXT, row.playState)) << row.playState;
        EXPECT_STREQ(row.text, PlayPauseText(row.playState)) << row.playState;
    }
}

TEST(ControlsRules, TheWheelMovesTheVolumeEightStepsANotchWithinItsRange)
{
    struct Row {
        const char *name;
        int volume;
        int deltas[4];   // turns one after another; 0 ends
        int after, left;
    } rows[] = {
        { "two notches up", 100, { 120, 120 }, 116, 0 },
        { "stops at 255", 250, { 120, 120 }, 255, 0 },
        { "stops at 0", 5, { -120, -120 }, 0, 0 },
        { "a finer wheel adds up to the same", 100, { 30, 30, 30, 30 }, 108, 0 },
        { "less than a step is kept for the next turn", 100, { 10, 10 }, 101, 5 },
        { "and taken back by a turn the other way", 100, { 10, -20 }, 100, -10 },
        { "a volume out of range is taken from its bound", 300, { -120 }, 247, 0 },
    };
    for (const Row &row : rows) {
        int volume = row.volume, left = 0;
        for (int i = 0; i < 4 && row.deltas[i]; i++)
            volume = VolumeAfterWheel(volume, row.deltas[i], &left);
        EXPECT_EQ(row.after, volume) << row.name;
        EXPECT_EQ(row.left, left) << row.name;
    }
}

// One change on its way at a time: the turns meanwhile wait in one sum for
// the next, however many they are.
TEST(ControlsRules, WheelTurnsWhileAChangeIsOnItsWayAddUpIntoTheNext)
{
    VolumeChange change = {};
    int next = -1;
    EXPECT_TRUE(VolumeWheelTurned(&change, 120)) << "the first turn asks the volume";
    for (int i = 0; i < 9; i++)
        EXPECT_FALSE(VolumeWheelTurned(&change, 120)) << "asked again while on its way";
    ASSERT_TRUE(VolumeToTell(&change, 100, &next));
    EXPECT_EQ(next, 180);
    EXPECT_FALSE(VolumeWheelTurned(&change, -120)) << "asked while the new volume is on its way";
    ASSERT_TRUE(VolumeTold(&change)) << "the turn meanwhile starts the next change";
    ASSERT_TRUE(VolumeToTell(&change, 180, &next));
    EXPECT_EQ(next, 172);
    EXPECT_FALSE(VolumeTold(&change)) << "nothing turned meanwhile";
    // A volume at its bound tells the player nothing, and the change is over.
    EXPECT_TRUE(VolumeWheelTurned(&change, 120));
    EXPECT_FALSE(VolumeToTell(&change, 255, &next));
    EXPECT_TRUE(VolumeWheelTurned(&change, -120));
    // Millions of notches neither overflow nor turn round.
    for (int i = 0; i < 4000; i++)
        VolumeWheelTurned(&change, 120 * 10000);
    ASSERT_TRUE(VolumeToTell(&change, 0, &next));
    EXPECT_EQ(next, 255);
}

TEST(ControlsRules, ThePointerRestsWithinTheSystemsHoverRectangle)
{
    POINT at = { 100, 100 };
    EXPECT_FALSE(LeftRestArea(at, { 102, 98 }, 4, 4));
    EXPECT_TRUE(LeftRestArea(at, { 103, 100 }, 4, 4));
    EXPECT_TRUE(LeftRestArea(at, { 100, 97 }, 4, 4));
}

TEST(ControlsRules, ButtonsTileTheRightEndAndScaleWithTheResolution)
{
    struct Row {
        const char *name;
        RECT content;
        int dpi;
        int face;      // the face's side
    } rows[] = {
        { "two lines at 96 dpi", { 1, 1, 151, 33 }, 96, 20 },
        { "one line: the face fits the content", { 1, 1, 151, 18 }, 96, 13 },
        { "150 %", { 1, 1, 301, 49 }, 144, 30 },
        { "200 %", { 1, 1, 401, 65 }, 192, 40 },
    };
    for (const Row &row : rows) {
        RECT cells[CONTROL_BUTTONS];
        PlaceControls(row.content, row.dpi, cells);
        int gap = CONTROL_GAP * row.dpi / 96;
        EXPECT_EQ(row.content.right, cells[CONTROL_NEXT].right) << row.name;
        for (int i = 0; i < CONTROL_BUTTONS; i++) {
            EXPECT_EQ(row.content.top, cells[i].top) << row.name;
            EXPECT_EQ(row.content.bottom, cells[i].bottom) << row.name;
            if (i > 0)
                EXPECT_EQ(cells[i - 1].right, cells[i].left) << row.name << ": a gap between cells " << i;
            RECT face = ButtonFace(cells[i].bottom - cells[i].top, row.dpi);
            EXPECT_EQ(row.face, face.right - face.left) << row.name;
            EXPECT_EQ(row.face, face.bottom - face.top) << row.name;
            EXPECT_EQ(gap, face.left) << row.name;
            EXPECT_LE(face.right, cells[i].right - cells[i].left) << row.name;
        }
        RECT bar = LevelBarRect(row.content, row.dpi);
        EXPECT_EQ(LEVEL_BAR_HEIGHT * row.dpi / 96, bar.bottom - bar.top) << row.name;
        EXPECT_EQ(row.content.bottom, bar.bottom) << row.name;
    }
    EXPECT_EQ(0, LevelBarFill(150, 0));
    EXPECT_EQ(75, LevelBarFill(150, 128));
    EXPECT_EQ(150, LevelBarFill(150, 255));
}

TEST(ControlsRules, GlyphsStayInsideTheirFaceAtEverySize)
{
    for (int side = 8; side <= 64; side++) {
        for (int glyph = GLYPH_PREVIOUS; glyph <= GLYPH_NEXT; glyph++) {
            GlyphShape shape = ShapeOfGlyph((ControlGlyph)glyph, side);
            ASSERT_GE(shape.polygons, 1);
            for (int p = 0; p < shape.polygons; p++) {
                for (int i = 0; i < shape.points[p]; i++) {
                    POINT at = shape.at[p][i];
                    EXPECT_TRUE(at.x > 0 && at.x < side && at.y > 0 && at.y < side)
                        << "glyph " << glyph << " at side " << side;
                }
            }
        }
    }
}
