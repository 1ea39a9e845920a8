// SPDX-License-Identifier: GPL-3.0-or-later
// Sound through Web Audio: the game's waves are 8-bit mono 11025 Hz, played
// one at a time and to their end before the game goes on (the loop waits
// for the sound's end, the page's events queueing meanwhile). Browsers let
// a page sound only after the player's first tap or key; until then, as
// with no sound output, a sound is dropped and the game plays on silently.
#include "platform/web/web.h"

#include "platform/wave.h"

#include <emscripten.h>

namespace {
extern "C" int js_audio_ready();

// Plays the samples (kept by name once converted) and waits for their end;
// never longer than the sound could take, should the output stall.
extern "C" void js_play_wave(const char* name, const uint8_t* data, int size, int rate);

extern "C" void js_stop_sound();
} // namespace

void PlatformPlayWave(const char* name) {
    WavePcm pcm{};
    if (!FindGameWave(name, &pcm) || js_audio_ready() == 0) return;
    js_play_wave(name, pcm.data, static_cast<int>(pcm.size), pcm.rate);
}

void PlatformStopSound() {
    js_stop_sound();
}
