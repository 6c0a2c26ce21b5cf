#include "popup/controls_rules.h"
#include "popup/dpi.h"
#include "base/player.h"

int ControlCommand(ControlButton button, int playState)
{
    switch (button) {
    case CONTROL_PREVIOUS:
        return PLAYER_BUTTON_PREVIOUS;
    case CONTROL_NEXT:
        return PLAYER_BUTTON_NEXT;
    default:
        return playState == PLAY_PLAYING || playState == PLAY_PAUSED ? PLAYER_BUTTON_PAUSE
                                                                     : PLAYER_BUTTON_PLAY;
    }
}

const WCHAR *PlayPauseText(int playState)
{
    return playState == PLAY_PLAYING ? L"Pause" : L"Play";
}

int VolumeAfterWheel(int volume, int delta, int *left)
{
    const int unitsPerStep = WHEEL_DELTA / VOLUME_STEPS_PER_NOTCH;
    int units = *left + delta;
    int steps = units / unitsPerStep;   // toward zero, either way
    *left = units - steps * unitsPerStep;
    // A player that answers nonsense still gets a volume it takes.
    if (volume < 0)
        volume = 0;
    if (volume > 255)
        volume = 255;
    volume += steps;
    return volume < 0 ? 0 : volume > 255 ? 255 : volume;
}

// Far beyond the volume's whole range, and far from overflowing.
#define MOST_TURNED (WHEEL_DELTA * 0x100000)

bool VolumeWheelTurned(VolumeChange *change, int delta)
{
    int turned = change->turned + delta;
    change->turned = turned > MOST_TURNED ? MOST_TURNED : turned < -MOST_TURNED ? -MOST_TURNED : turned;
    if (change->onItsWay)
        return false;
    change->onItsWay = TRUE;
    return true;
}

bool VolumeToTell(VolumeChange *change, int volume, int *next)
{
    *next = VolumeAfterWheel(volume, change->turned, &change->left);
    change->turned = 0;
    if (*next != volume)
        return true;
    change->onItsWay = FALSE;
    return false;
}

bool VolumeTold(VolumeChange *change)
{
    change->onItsWay = change->turned != 0;
    return change->onItsWay != FALSE;
}

void VolumeChangeDropped(VolumeChange *change)
{
    ZeroMemory(change, sizeof(*change));
}

bool LeftRestArea(POINT restAt, POINT pointer, int width, int height)
{
    int dx = pointer.x - restAt.x, dy = pointer.y - restAt.y;
    return 2 * (dx < 0 ? -dx : dx) > width || 2 * (dy < 0 ? -dy : dy) > height;
}

static int FaceSide(int height, int dpi)
{
    int side = ScaledLength(CONTROL_SIDE, dpi);
    int room = height - 2 * ScaledLength(CONTROL_GAP, dpi);
    if (side > room)
        side = room;
    return side > 1 ? side : 1;
}

RECT ButtonFace(int height, int dpi)
{
    int gap = ScaledLength(CONTROL_GAP, dpi), side = FaceSide(height, dpi);
    RECT face = { gap, (height - side) / 2, gap + side, (height - side) / 2 + side };
    return face;
}

void PlaceControls(RECT content, int dpi, RECT cells[CONTROL_BUTTONS])
{
    int gap = ScaledLength(CONTROL_GAP, dpi);
    int side = FaceSide(content.bottom - content.top, dpi);
    // Each cell holds a gap and a face; the last one the gap after it too.
    int left = content.right - CONTROL_BUTTONS * (side + gap) - gap;
    for (int i = 0; i < CONTROL_BUTTONS; i++) {
        cells[i].left = left;
        cells[i].top = content.top;
        cells[i].right = left + side + gap + (i == CONTROL_BUTTONS - 1 ? gap : 0);
        cells[i].bottom = content.bottom;
        left += side + gap;
    }
}

RECT LevelBarRect(RECT content, int dpi)
{
    RECT bar = content;
    bar.top = content.bottom - ScaledLength(LEVEL_BAR_HEIGHT, dpi);
    if (bar.top < content.top)
        bar.top = content.top;
    return bar;
}

int LevelBarFill(int width, int volume)
{
    if (volume < 0)
        volume = 0;
    if (volume > 255)
        volume = 255;
    return width * volume / 255;
}

static void Box(GlyphShape *shape, int left, int top, int right, int bottom)
{
    int n = shape->polygons++;
    shape->points[n] = 4;
    shape->at[n][0] = { left, top };
    shape->at[n][1] = { right, top };
    shape->at[n][2] = { right, bottom };
    shape->at[n][3] = { left, bottom };
}

// A triangle with its base on x = `base` and its tip at x = `tip`, halfway
// down between top and bottom.
static void Triangle(GlyphShape *shape, int base, int tip, int top, int bottom)
{
    int n = shape->polygons++;
    shape->points[n] = 3;
    shape->at[n][0] = { base, top };
    shape->at[n][1] = { tip, (top + bottom) / 2 };
    shape->at[n][2] = { base, bottom };
}

GlyphShape ShapeOfGlyph(ControlGlyph glyph, int side)
{
    GlyphShape shape;
    ZeroMemory(&shape, sizeof(shape));
    // The glyph takes the middle half of the button, an even size so that
    // its halves match.
    int size = side / 2 & ~1;
    if (size < 2)
        size = 2;
    int left = (side - size) / 2, top = left;
    int right = left + size, bottom = top + size;
    int bar = size / 5 > 1 ? size / 5 : 1;
    switch (glyph) {
    case GLYPH_PREVIOUS:
        Box(&shape, left, top, left + bar, bottom);
        Triangle(&shape, right, left + bar, top, bottom);
        break;
    case GLYPH_PLAY:
        Triangle(&shape, left + bar / 2, right - bar / 2, top, bottom);
        break;
    case GLYPH_PAUSE:
        Box(&shape, left + bar / 2, top, left + bar / 2 + size / 3, bottom);
        Box(&shape, right - bar / 2 - size / 3, top, right - bar / 2, bottom);
        break;
    case GLYPH_NEXT:
        Triangle(&shape, left, right - bar, top, bottom);
        Box(&shape, right - bar, top, right, bottom);
        break;
    }
    return shape;
}
