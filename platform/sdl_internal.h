// What the files of the desktop backend share with each other (and with the
// platform tests, which call the pure parts directly): the one window, the
// event translation, the timer's deadline arithmetic, the picture stretch,
// the icon and wave parsers, the controllers' keys.
#pragma once

#define SDL_MAIN_HANDLED
#include <SDL.h>

#include "platform/platform.h"

#include <cstddef>
#include <cstdint>

// The one window's handle, as the messages carry it.
constexpr Window DesktopWindow = 1;

// Starts an SDL subsystem once; SDL is shut down when the program exits.
bool StartSdl(uint32_t subsystem);

// --- i_video.cpp ---

// The window procedure while the window lives, else nullptr.
WindowProcedure VideoProcedure();
// Takes the repaint request if the window has one.
bool VideoTakePaint();
// The window was uncovered or changed its size: everything is shown anew.
void VideoWindowEvent(const SDL_WindowEvent& event);

// How pen positions are measured: mouse events come in the window's own
// units, which are not pixels on a high-DPI screen; positions go out in the
// real pixels of the size the game laid itself out for.
struct PenScale {
    int32_t windowWidth, windowHeight; // in the units of mouse events
    int32_t pixelWidth, pixelHeight;   // in the units of pen messages
};
PenScale VideoPenScale();

// Nearest-neighbour stretch of the logical picture over a window-sized
// picture, redrawing only what changed since the last one. `last` keeps the
// previous logical picture (width x height, packed); `full` redraws all.
// Writes the window rows it redrew as bands [top, bottom) into `bands` and
// returns how many (0 when nothing changed); when more bands are needed
// than fit, the last one stretches to cover the rest.
struct RowBand {
    int32_t top, bottom;
};
struct StretchTarget {
    uint32_t* pixels;
    int32_t width, height;
    int32_t pitch; // in pixels
};
int32_t StretchChanged(const uint32_t* pixels, int32_t width, int32_t height, int32_t pitch,
                       uint32_t* last, bool full, const StretchTarget& target, RowBand* bands,
                       int32_t maxBands);

// Decodes the `size` x `size` image of an icon file (the deepest one of that
// size) into 0xAARRGGBB pixels, top row first, transparent where the mask
// says so. False when the file has no image of that size it can read.
bool DecodeIcon(const uint8_t* data, size_t dataSize, int32_t size, uint32_t* argb);

// --- i_events.cpp ---

// The pen is one finger or the left mouse button, whichever went down first.
struct PenState {
    bool down;
    bool byTouch;
    SDL_FingerID finger;
};

// The message (or two: Alt+character also gives its character) that one SDL
// event becomes; returns how many, 0 for events the game has no message for.
int32_t TranslateEvent(const SDL_Event& event, const PenScale& scale, PenState* pen,
                       Message out[2]);

// The old platform's virtual-key code of a key, 0 when it has none.
uint32_t VirtualKeyOf(SDL_Keycode key, uint16_t modifiers);

// --- i_gamepad.cpp ---

// Game controllers play with the keys they stand in for. A controller's
// buttons and its left stick's directions each hold a key, and a key is
// down while anything holds it: the messages are those of one key going
// down and coming up, flagged KEY_FROM_PAD.
constexpr int32_t PadMaxControllers = 8;
constexpr int32_t PadMaxMessages = 10; // one for each key a controller gives
// The stick leaves its dead zone past PadStickPress and is back in it
// within PadStickRelease, so that a stick resting near the edge does not
// chatter.
constexpr int32_t PadStickPress = 16000;
constexpr int32_t PadStickRelease = 10000;

struct PadController {
    bool used;
    SDL_JoystickID id;
    uint32_t buttons;      // a bit for each SDL_GameControllerButton held
    int8_t stickX, stickY; // -1, 0 or 1: left/up, in the dead zone, right/down
};
struct PadState {
    PadController controllers[PadMaxControllers];
};

// The key messages one controller event gives: key-ups of the keys let go,
// then key-downs of the keys newly held; 0 for events that change no key.
// A removed controller lets go of everything it held.
int32_t TranslatePadEvent(const SDL_Event& event, PadState* pad, Message out[PadMaxMessages]);

// Opens a controller when it is plugged in (and those present at start,
// which SDL announces the same way) and closes it when it goes.
void PadDeviceEvent(const SDL_Event& event);

// Starts SDL's controller support; with no controller it costs nothing.
void PadStart();

// --- i_timer.cpp ---

// When a timer that fell due at `deadline` and is taken at `now` falls due
// next: one interval on, keeping the cadence, unless that time has passed
// already (a long tick), when the count starts afresh from `now`.
uint64_t NextTimerDeadline(uint64_t deadline, uint64_t now, uint32_t interval);
// Takes a timer message if a timer is due at `now`.
bool TimerTake(uint64_t now, Message* message);
// Milliseconds from `now` until the next timer falls due; -1 with none.
int32_t TimerWait(uint64_t now);
void TimerKillAll(Window window);

// --- i_sound.cpp ---

struct WavePcm {
    const uint8_t* data;
    size_t size;
    int32_t channels, bits, rate;
};
// Finds the format and the samples of a RIFF wave file, chunk by chunk.
bool FindWavePcm(const uint8_t* data, size_t size, WavePcm* pcm);
// Closes the sound output once it has been quiet for a while.
void SoundIdle(uint64_t now);
// Milliseconds from `now` until the output closes; -1 when it is closed.
int32_t SoundWait(uint64_t now);
