// SPDX-License-Identifier: GPL-3.0-or-later
// Sound: the game's waves are 8-bit mono 11025 Hz, played one at a time; a
// cue holds the game for as long as its sound lasts, and never longer,
// whatever the sound server does. The output is opened for a sound, and
// closed again once no sound has played for a second (an open output keeps
// SDL's audio thread waking the machine dozens of times a second), away
// from the game's thread: a thread of its own opens it, and each close runs
// on a thread of its own too, since a sound server may take seconds to let
// go of an output (and a stalled one, for ever) while the next cue already
// wants a new one. A cue that finds no output ready within its own length
// is dropped, as is one that comes while a sound is still playing. Without
// any output, cues are dropped at once.
#include "platform/sdl/desktop.h"

#include "platform/timers.h"
#include "platform/wave.h"

#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <unistd.h>

namespace {
constexpr int32_t Rate = GameWaveRate;
constexpr uint16_t DeviceSamples = 256; // about 23 ms a buffer
constexpr uint64_t BufferMs = DeviceSamples * 1000u / Rate + 1;
constexpr uint64_t CloseAfterMs = 1000; // quiet this long, the output closes
constexpr uint32_t ExitCloseMs = 100;   // at exit, how long an idle output may take to close

enum OutputState {
    OUTPUT_CLOSED,
    OUTPUT_OPENING, // the sound thread is opening it
    OUTPUT_OPEN,
    OUTPUT_NONE, // the machine has no sound: nothing is tried again
};

struct SoundState {
    SDL_mutex* lock;
    SDL_cond* changed; // any of the below changed
    SDL_Thread* thread;
    OutputState state;
    int32_t closing; // outputs still being closed, each by a thread of its own
    bool wantOpen;   // a cue waits for the output
    bool playing;    // a cue is being played: the output stays open
    bool cut;        // the program is ending: cues end at once
    bool stopping;   // the sound thread is to close the output and end
    bool stopped;    // ... and has
    bool shut;       // the program is ending: no cue starts the thread again
    SDL_AudioDeviceID device;
    uint64_t lastUse;    // when the last cue ended
    uint64_t playsUntil; // when the sound last queued ends
};
SoundState Sound;

// The sound's clock, read by the game's thread and the sound's: SDL's, made
// steady, so that a clock set back never holds a cue (nor keeps the output
// open) until it has caught up again.
uint64_t SoundNow() {
    static std::mutex lock;
    static SteadyTime clock{};
    const std::lock_guard<std::mutex> hold(lock);
    return SteadyNow(&clock, SDL_GetTicks64());
}

// The sound libraries SDL tries complain on standard error when a machine
// has no sound; the game itself reports nothing, so they are not heard.
int HideErrors() {
    std::fflush(stderr);
    const int saved = dup(STDERR_FILENO);
    const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (null >= 0) {
        dup2(null, STDERR_FILENO);
        close(null);
    }
    return saved;
}

void RestoreErrors(int saved) {
    if (saved < 0) return;
    std::fflush(stderr);
    dup2(saved, STDERR_FILENO);
    close(saved);
}

// On the sound thread, the lock not held.
OutputState OpenDevice() {
    // The subsystem is started here rather than with the others: with some
    // sound servers starting it already waits for the server.
    if (SDL_WasInit(SDL_INIT_AUDIO) == 0 && SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return OUTPUT_NONE;
    SDL_AudioSpec want{};
    want.freq = Rate;
    want.format = AUDIO_U8;
    want.channels = 1;
    want.samples = DeviceSamples;
    // No changes allowed: SDL converts for the device, and the queue
    // counts in the waves' own bytes.
    SDL_AudioSpec obtained{};
    const SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &want, &obtained, 0);
    // A server that is not there now may be for a later cue.
    if (device == 0) return OUTPUT_CLOSED;
    SDL_PauseAudioDevice(device, 0);
    SDL_LockMutex(Sound.lock);
    Sound.device = device;
    SDL_UnlockMutex(Sound.lock);
    return OUTPUT_OPEN;
}

int CloseThread(void* data) {
    SDL_CloseAudioDevice(static_cast<SDL_AudioDeviceID>(reinterpret_cast<uintptr_t>(data)));
    SDL_LockMutex(Sound.lock);
    --Sound.closing;
    SDL_CondBroadcast(Sound.changed);
    SDL_UnlockMutex(Sound.lock);
    return 0;
}

// On the sound thread, the lock held: sets `state` (a step that waits on
// the output runs with the lock let go) and tells the waiting cue.
void SetState(OutputState state) {
    Sound.state = state;
    SDL_CondBroadcast(Sound.changed);
}

// The lock held. The output is closed at once as far as the cues can
// tell; the close itself runs apart, waiting on the server as long as it
// takes. `wait` closes it here instead and waits for it (at exit, when
// nothing else is to come).
void CloseDevice(bool wait) {
    const SDL_AudioDeviceID device = Sound.device;
    Sound.device = 0;
    ++Sound.closing;
    SetState(OUTPUT_CLOSED);
    // The thread is handed the device's number in its one pointer argument.
    // NOLINTNEXTLINE(performance-no-int-to-ptr)
    void* data = reinterpret_cast<void*>(static_cast<uintptr_t>(device));
    if (!wait) {
        if (SDL_Thread* closer = SDL_CreateThread(CloseThread, "vantle-close", data)) {
            SDL_DetachThread(closer);
            return;
        }
    }
    SDL_UnlockMutex(Sound.lock);
    CloseThread(data);
    SDL_LockMutex(Sound.lock);
}

// Opens the output when a cue wants it and closes it after a second of
// quiet; between the two it sleeps, waking only to close.
int SoundThread(void*) {
    SDL_LockMutex(Sound.lock);
    while (!Sound.stopping) {
        if (Sound.wantOpen && Sound.state == OUTPUT_CLOSED) {
            Sound.wantOpen = false;
            SetState(OUTPUT_OPENING);
            SDL_UnlockMutex(Sound.lock);
            const int saved = HideErrors();
            const OutputState opened = OpenDevice();
            RestoreErrors(saved);
            SDL_LockMutex(Sound.lock);
            Sound.lastUse = SoundNow();
            SetState(opened);
            continue;
        }
        if (Sound.state == OUTPUT_OPEN && !Sound.playing) {
            const uint64_t now = SoundNow(), due = Sound.lastUse + CloseAfterMs;
            if (now >= due)
                CloseDevice(false);
            else
                SDL_CondWaitTimeout(Sound.changed, Sound.lock, static_cast<uint32_t>(due - now));
            continue;
        }
        SDL_CondWait(Sound.changed, Sound.lock);
    }
    if (Sound.state == OUTPUT_OPEN) CloseDevice(true);
    Sound.stopped = true;
    SDL_CondBroadcast(Sound.changed);
    SDL_UnlockMutex(Sound.lock);
    return 0;
}

bool StartThread() {
    if (Sound.thread != nullptr) return true;
    SoundPrepare();
    if (Sound.lock == nullptr || Sound.changed == nullptr) return false;
    Sound.thread = SDL_CreateThread(SoundThread, "vantle-sound", nullptr);
    return Sound.thread != nullptr;
}

// Waits, the lock held, until `until` or the program ends; true when the
// time came.
bool WaitUntil(uint64_t until) {
    for (;;) {
        if (Sound.cut) return false;
        const uint64_t now = SoundNow();
        if (now >= until) return true;
        SDL_CondWaitTimeout(Sound.changed, Sound.lock, static_cast<uint32_t>(until - now));
    }
}
} // namespace

void SoundPrepare() {
    if (Sound.lock == nullptr) Sound.lock = SDL_CreateMutex();
    if (Sound.changed == nullptr) Sound.changed = SDL_CreateCond();
}

void PlatformPlayWave(const char* name) {
    WavePcm pcm{};
    if (!FindGameWave(name, &pcm)) return;
    const uint64_t start = SoundNow();
    if (Sound.shut || !StartThread()) return;
    SDL_LockMutex(Sound.lock);
    // The sound lasts this long; the last buffer SDL takes from the queue
    // is heard a buffer later.
    const uint64_t end = start + pcm.size * 1000 / Rate + BufferMs;
    if (Sound.state == OUTPUT_NONE || Sound.cut || start < Sound.playsUntil) {
        SDL_UnlockMutex(Sound.lock);
        return;
    }
    Sound.playing = true;
    if (Sound.state != OUTPUT_OPEN) {
        Sound.wantOpen = true;
        SDL_CondBroadcast(Sound.changed);
    }
    while (Sound.state != OUTPUT_OPEN && Sound.state != OUTPUT_NONE && !Sound.cut &&
           SoundNow() < end)
        SDL_CondWaitTimeout(Sound.changed, Sound.lock, static_cast<uint32_t>(end - SoundNow() + 1));
    // An output opened late plays the sound to its end all the same; the
    // game goes on when the sound would have ended.
    if (Sound.state == OUTPUT_OPEN && !Sound.cut &&
        SDL_QueueAudio(Sound.device, pcm.data, static_cast<Uint32>(pcm.size)) == 0)
        Sound.playsUntil = SoundNow() + pcm.size * 1000 / Rate;
    WaitUntil(end);
    Sound.playing = false;
    Sound.lastUse = SoundNow();
    SDL_CondBroadcast(Sound.changed);
    SDL_UnlockMutex(Sound.lock);
}

void PlatformStopSound() {
    if (Sound.lock == nullptr) return;
    SDL_LockMutex(Sound.lock);
    if (Sound.state == OUTPUT_OPEN) SDL_ClearQueuedAudio(Sound.device);
    SDL_UnlockMutex(Sound.lock);
}

void SoundInterrupt() {
    if (Sound.lock == nullptr) return;
    SDL_LockMutex(Sound.lock);
    Sound.cut = true;
    SDL_CondBroadcast(Sound.changed);
    SDL_UnlockMutex(Sound.lock);
}

bool SoundShutdown() {
    Sound.shut = true;
    if (Sound.thread == nullptr) return true;
    SDL_LockMutex(Sound.lock);
    Sound.cut = true;
    // An output being opened or closed is waiting on the sound server: the
    // program does not wait with it.
    bool done = Sound.state != OUTPUT_OPENING && Sound.closing == 0;
    if (done) {
        Sound.stopping = true;
        SDL_CondBroadcast(Sound.changed);
        const uint64_t until = SoundNow() + ExitCloseMs;
        while (!Sound.stopped && SoundNow() < until)
            SDL_CondWaitTimeout(Sound.changed, Sound.lock,
                                static_cast<uint32_t>(until - SoundNow() + 1));
        done = Sound.stopped && Sound.closing == 0;
    }
    SDL_UnlockMutex(Sound.lock);
    if (done) {
        SDL_WaitThread(Sound.thread, nullptr);
        Sound.thread = nullptr;
    }
    return done;
}
