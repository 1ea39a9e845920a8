// Sound: the game's waves are 8-bit mono 11025 Hz, played one at a time and
// to their end before the game goes on. The output is opened for a sound and
// closed again once no sound has played for a second: an open output keeps
// SDL's audio thread waking the machine dozens of times a second. Without an
// output, sounds are dropped and the game plays on silently.
#include "platform/sdl/desktop.h"

#include "platform/wave.h"

#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {
constexpr int32_t Rate = GameWaveRate;
constexpr uint16_t DeviceSamples = 256; // about 23 ms a buffer
constexpr uint64_t CloseAfterMs = 1000;  // quiet this long, the output closes

enum DeviceState { DEVICE_UNTRIED, DEVICE_OPEN, DEVICE_NONE };

struct SoundState {
    DeviceState state;
    SDL_AudioDeviceID device;
    SDL_AudioSpec obtained;
    uint64_t lastUse; // when the last sound ended
};
SoundState Sound;

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

bool OpenDevice() {
    if (!StartSdl(SDL_INIT_AUDIO)) return false;
    SDL_AudioSpec want{};
    want.freq = Rate;
    want.format = AUDIO_U8;
    want.channels = 1;
    want.samples = DeviceSamples;
    // No changes allowed: SDL converts for the device, and the queue
    // counts in the waves' own bytes.
    Sound.device = SDL_OpenAudioDevice(nullptr, 0, &want, &Sound.obtained, 0);
    if (Sound.device == 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    SDL_PauseAudioDevice(Sound.device, 0);
    return true;
}

bool OpenOutput() {
    if (Sound.state != DEVICE_UNTRIED) return Sound.state == DEVICE_OPEN;
    // Tried once: a machine without sound does not pay for looking again.
    const int saved = HideErrors();
    Sound.state = OpenDevice() ? DEVICE_OPEN : DEVICE_NONE;
    Sound.lastUse = SDL_GetTicks64();
    RestoreErrors(saved);
    return Sound.state == DEVICE_OPEN;
}

// Sleeps until the queue has gone to the device and the device has played
// it; never longer than the sound could take, should the device stall.
void WaitPlayed(size_t bytes) {
    const uint32_t bufferMs = Sound.obtained.samples * 1000u / static_cast<uint32_t>(Rate) + 1;
    const uint64_t limit = SDL_GetTicks64() + bytes * 1000 / Rate + 4 * bufferMs + 100;
    for (;;) {
        const uint32_t left = SDL_GetQueuedAudioSize(Sound.device);
        if (left == 0 || SDL_GetTicks64() >= limit) break;
        uint32_t ms = left * 1000u / static_cast<uint32_t>(Rate);
        SDL_Delay(ms < 1 ? 1 : ms > 20 ? 20 : ms);
    }
    // The last buffer taken from the queue is still being played.
    SDL_Delay(bufferMs);
}
} // namespace

void PlatformPlayWave(const char* name) {
    WavePcm pcm{};
    if (!FindGameWave(name, &pcm)) return;
    if (!OpenOutput()) return;
    if (SDL_QueueAudio(Sound.device, pcm.data, static_cast<Uint32>(pcm.size)) != 0) return;
    WaitPlayed(pcm.size);
    Sound.lastUse = SDL_GetTicks64();
}

void SoundIdle(uint64_t now) {
    if (Sound.state != DEVICE_OPEN || now < Sound.lastUse + CloseAfterMs) return;
    SDL_CloseAudioDevice(Sound.device);
    Sound.device = 0;
    // The next sound opens the output again.
    Sound.state = DEVICE_UNTRIED;
}

int32_t SoundWait(uint64_t now) {
    if (Sound.state != DEVICE_OPEN) return -1;
    const uint64_t close = Sound.lastUse + CloseAfterMs;
    return close <= now ? 0 : static_cast<int32_t>(close - now);
}

void PlatformStopSound() {
    if (Sound.state == DEVICE_OPEN) SDL_ClearQueuedAudio(Sound.device);
}
