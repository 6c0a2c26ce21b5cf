// The rules of the player's controls over a popup: what each button sends,
// what the wheel does to the volume, when the pointer has come to rest, and
// where the buttons, their glyphs and the volume bar go. Pure: the Win32
// side is popup/controls.cpp.
#ifndef TUNEBELL_POPUP_CONTROLS_RULES_H
#define TUNEBELL_POPUP_CONTROLS_RULES_H

#include "base/player.h"

// The buttons, left to right; also their control ids less one.
enum ControlButton {
    CONTROL_PREVIOUS,
    CONTROL_PLAY_PAUSE,
    CONTROL_NEXT,
    CONTROL_BUTTONS
};

// The player's button a click sends: previous and next as they are; play or
// pause as the player's play state asks (pause also resumes a paused track,
// play starts a stopped one).
int ControlCommand(ControlButton button, int playState);
// The play/pause button's text, what a click will do: "Pause" while the
// player plays, "Play" otherwise.
const WCHAR *PlayPauseText(int playState);

// Steps of the volume (0..255) for one notch of the wheel (WHEEL_DELTA).
#define VOLUME_STEPS_PER_NOTCH 8
// The volume after the wheel turned by `delta` (WHEEL_DELTA a notch up; a
// finer wheel sends parts of one), clamped to 0..255. `left` carries the
// part of a step turned but not yet taken from one turn to the next.
int VolumeAfterWheel(int volume, int delta, int *left);

// A change of the volume on its way to the player: asked for the volume it
// has, then told the new one. The wheel turned meanwhile adds up into the
// next change, so that however fast it turns, one change at a time is on
// its way and no turn waits in a queue. All zeros: none on its way.
struct VolumeChange {
    int turned;      // wheel units turned that no change has taken yet
    int left;        // part of a step turned but not yet taken
    BOOL onItsWay;   // the player has been asked or told, and not answered yet
};
// The wheel turned by `delta`: true when a change starts (ask the volume).
bool VolumeWheelTurned(VolumeChange *change, int delta);
// The player answered the volume it has: true with `*next` the volume to
// tell it; false when the volume stays as it is, and the change is over.
bool VolumeToTell(VolumeChange *change, int volume, int *next);
// The player took the volume told: true when the wheel turned meanwhile
// and the next change starts (ask the volume again).
bool VolumeTold(VolumeChange *change);
// The player cannot be asked or told: the change and the turns go.
void VolumeChangeDropped(VolumeChange *change);

// Whether the pointer has left the rectangle (width x height, centred on
// where it came to rest) in which the system counts it as resting.
bool LeftRestArea(POINT restAt, POINT pointer, int width, int height);

// Lengths at 96 dpi, scaled by the popup's resolution.
#define CONTROL_SIDE 20        // a button's face is this square, or the content's height less gaps
#define CONTROL_GAP 2          // between faces, and around them
#define LEVEL_BAR_HEIGHT 3

// The three buttons tile a strip over the right end of the popup's content
// (the background's rectangle in the popup's client area), its full height,
// so that nothing under them shows between them: each is a cell with its
// face left in it at ButtonFace.
void PlaceControls(RECT content, int dpi, RECT cells[CONTROL_BUTTONS]);
// A button's face in its cell's client area, for a cell `height` tall.
RECT ButtonFace(int height, int dpi);
// The volume bar along the bottom edge of the content.
RECT LevelBarRect(RECT content, int dpi);
// How much of a bar `width` wide the volume fills.
int LevelBarFill(int width, int volume);

// A glyph as up to two filled polygons of three or four points, in the
// client coordinates of a button `side` pixels square.
enum ControlGlyph {
    GLYPH_PREVIOUS,
    GLYPH_PLAY,
    GLYPH_PAUSE,
    GLYPH_NEXT
};
struct GlyphShape {
    int polygons;
    int points[2];
    POINT at[2][4];
};
GlyphShape ShapeOfGlyph(ControlGlyph glyph, int side);

#endif
