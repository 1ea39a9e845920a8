// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/headless/headless.h"

#include "platform/queue.h"
#include "platform/text.h"
#include "platform/timers.h"
#include "platform/window.h"

#include <cstring>

namespace {
constexpr int32_t ModalQueueSize = 64;
constexpr int32_t SoundLogSize = 256;

struct HeadlessState {
    int32_t width = 320, height = 240;
    bool awake = false;
    HeadlessSound sounds[SoundLogSize] = {};
    int32_t soundCount = 0;
    Event modal[ModalQueueSize] = {};
    int32_t modalHead = 0, modalCount = 0;
    uint64_t clock = 0;
    int32_t fileFailures = 0;
    char status[128] = {};
    bool replayOffered = false, gameOffered = false;
};
HeadlessState H;

void RecordSound(const char* name) {
    if (H.soundCount == SoundLogSize) {
        // Keep the newest; a driver that never looks loses the oldest.
        std::memmove(H.sounds, H.sounds + 1, sizeof(HeadlessSound) * (SoundLogSize - 1));
        --H.soundCount;
    }
    // A name too long is kept as far as it fits.
    CopyText(H.sounds[H.soundCount].name, name);
    ++H.soundCount;
}

bool TakeModal(Event* event) {
    if (H.modalCount == 0) return false;
    *event = H.modal[H.modalHead];
    H.modalHead = (H.modalHead + 1) % ModalQueueSize;
    --H.modalCount;
    return true;
}
} // namespace

void HeadlessReset() {
    H = HeadlessState{};
    TheWindow = WindowState{};
    QueueReset();
    TimerKillAll(OnlyWindow);
}

void HeadlessSetWindowSize(int32_t width, int32_t height) {
    H.width = width;
    H.height = height;
}

void HeadlessQueueModalEvent(const Event& event) {
    if (H.modalCount == ModalQueueSize) return;
    H.modal[(H.modalHead + H.modalCount++) % ModalQueueSize] = event;
}

int32_t HeadlessTakeSounds(HeadlessSound* sounds, int32_t max) {
    const int32_t n = H.soundCount < max ? H.soundCount : max;
    std::memcpy(sounds, H.sounds, sizeof(HeadlessSound) * static_cast<size_t>(n));
    std::memmove(H.sounds, H.sounds + n,
                 sizeof(HeadlessSound) * static_cast<size_t>(H.soundCount - n));
    H.soundCount -= n;
    return n;
}

bool HeadlessTakePosted(Event* event) { return QueueTake(event); }
bool HeadlessQuitPosted() { return QueueQuitPosted(); }
int32_t HeadlessInvalidateCount() { return TheWindow.invalidations; }
bool HeadlessTimerRunning() { return TimerRunning(); }

// The window's bookkeeping is the shared one (platform/window.cpp), of a
// window never shown.
Window PlatformCreateWindow(const char*, WindowProcedure procedure) {
    if (procedure == nullptr || TheWindow.alive) return 0;
    return WindowCreated(procedure, H.width, H.height) ? OnlyWindow : 0;
}

void PlatformWindowSize(Window, int32_t* width, int32_t* height) {
    *width = H.width;
    *height = H.height;
}

void PlatformShowWindow(Window) {}
void PlatformDestroyWindow(Window window) { WindowDestroy(window); }
void PlatformSetSmallIcon(Window, int32_t, int32_t) { TheWindow.smallIcon = true; }
void PlatformSetClassIcon(int32_t) {}
void PlatformKeepAwake(Window, bool awake) { H.awake = awake; }
bool HeadlessKeepsAwake() { return H.awake; }

bool PlatformGetEvent(Event* event) {
    // Nothing arrives by itself here: only what was posted, then what the
    // driver left for a modal loop.
    if (QueueQuitPosted()) return false;
    return QueueTake(event) || TakeModal(event);
}

bool PlatformKeyHeld(uint32_t) { return false; }
// No clock of its own: a timer runs, and the driver delivers its ticks (or
// takes them at the times of the clock it sets).
void PlatformSetTimer(Window window, uint32_t id, uint32_t milliseconds) {
    TimerSet(window, id, milliseconds, H.clock);
}
void PlatformKillTimer(Window window, uint32_t id) { TimerKill(window, id); }
void PlatformTimerSleep(Window window, uint32_t id, int32_t ticks) {
    TimerSleep(window, id, ticks, H.clock);
}
void HeadlessSetClock(uint64_t now) { H.clock = now; }
void PlatformPresent(Window, const uint32_t*, int32_t, int32_t, int32_t) {}
void PlatformPlayWave(const char* name) { RecordSound(name != nullptr ? name : ""); }
void PlatformStopSound() { RecordSound(""); }

void PlatformDataFolder(char* buffer, size_t size) {
    if (size > 0) buffer[0] = 0;
}

void PlatformOfferDialog(Window, const char*, const DialogChoice*, int32_t) {}
void PlatformWithdrawDialog(Window) {}
void PlatformShowStatus(Window, const char* text) { CopyText(H.status, text); }
const char* HeadlessStatus() { return H.status; }
void PlatformOfferReplay(Window, const char* code) {
    H.replayOffered = code != nullptr && code[0] != 0;
}
void PlatformOfferGame(Window, const char* code) {
    H.gameOffered = code != nullptr && code[0] != 0;
}
bool HeadlessReplayOffered() { return H.replayOffered; }
bool HeadlessGameOffered() { return H.gameOffered; }
// The files are written at once, so that a driver sees them as soon as the
// game asks.
bool PlatformFileReplace(const FileTarget& target, const uint8_t* bytes, int32_t size) {
    const bool kept = FileReplaceSaying(target, bytes, size);
    if (!kept) ++H.fileFailures;
    return kept;
}
bool PlatformFileRemove(const char* path) {
    const bool kept = FileRemoveSaying(path);
    if (!kept) ++H.fileFailures;
    return kept;
}
int32_t PlatformFilesWait() {
    const int32_t failures = H.fileFailures;
    H.fileFailures = 0;
    return failures;
}
void PlatformFileFetch(const char*) {}
