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
EM_JS(int, js_audio_ready, (), {
    var a = Module.vantleAudio;
    return a && a.state == "running" ? 1 : 0;
});

// Plays the samples (kept by name once converted) and waits for their end;
// never longer than the sound could take, should the output stall.
EM_ASYNC_JS(void, js_play_wave, (const char* name, const uint8_t* data, int size, int rate), {
    var a = Module.vantleAudio;
    if (!a) return;
    var waves = Module.vantleWaves || (Module.vantleWaves = {});
    var key = UTF8ToString(name);
    var buffer = waves[key];
    try {
        if (!buffer) {
            buffer = a.createBuffer(1, size, rate);
            var samples = buffer.getChannelData(0);
            for (var i = 0; i < size; i++) samples[i] = (HEAPU8[data + i] - 128) / 128;
            waves[key] = buffer;
        }
        await new Promise(function(resolve) {
            var source = a.createBufferSource();
            var ended = false;
            function end() {
                if (ended) return;
                ended = true;
                Module.vantleSound = null;
                resolve();
            }
            source.buffer = buffer;
            source.connect(a.destination);
            source.onended = end;
            Module.vantleSound = {source: source, end: end};
            setTimeout(end, buffer.duration * 1000 + 250);
            source.start();
        });
    } catch (e) {
    }
});

EM_JS(void, js_stop_sound, (), {
    var s = Module.vantleSound;
    if (!s) return;
    try { s.source.stop(); } catch (e) {}
    s.end();
});
} // namespace

void PlatformPlayWave(const char* name) {
    WavePcm pcm{};
    if (!FindGameWave(name, &pcm) || js_audio_ready() == 0) return;
    js_play_wave(name, pcm.data, static_cast<int>(pcm.size), pcm.rate);
}

void PlatformStopSound() {
    js_stop_sound();
}
