#include "platform/headless.h"

#include <cstring>

namespace {
constexpr int32_t QueueSize = 64;
constexpr int32_t SoundLogSize = 256;

struct HeadlessState {
    int32_t width = 320, height = 240;
    WindowProcedure procedure = nullptr;
    bool alive = false;
    bool smallIcon = false;
    bool timer = false;
    bool quit = false;
    int32_t quitCode = 0;
    int32_t presents = 0;
    Message posted[QueueSize] = {};
    int32_t postedHead = 0, postedCount = 0;
    HeadlessSound sounds[SoundLogSize] = {};
    int32_t soundCount = 0;
    DialogAnswer answers[QueueSize] = {};
    int32_t answerHead = 0, answerCount = 0;
};
HeadlessState H;

void RecordSound(const char* name) {
    if (H.soundCount == SoundLogSize) {
        // Keep the newest; a driver that never looks loses the oldest.
        std::memmove(H.sounds, H.sounds + 1, sizeof(HeadlessSound) * (SoundLogSize - 1));
        --H.soundCount;
    }
    std::strncpy(H.sounds[H.soundCount].name, name, sizeof H.sounds[0].name - 1);
    H.sounds[H.soundCount].name[sizeof H.sounds[0].name - 1] = 0;
    ++H.soundCount;
}
} // namespace

void HeadlessReset() { H = HeadlessState{}; }

void HeadlessSetWindowSize(int32_t width, int32_t height) {
    H.width = width;
    H.height = height;
}

void HeadlessQueueDialogAnswer(const DialogAnswer& answer) {
    if (H.answerCount == QueueSize) return;
    H.answers[(H.answerHead + H.answerCount++) % QueueSize] = answer;
}

int32_t HeadlessTakeSounds(HeadlessSound* sounds, int32_t max) {
    const int32_t n = H.soundCount < max ? H.soundCount : max;
    std::memcpy(sounds, H.sounds, sizeof(HeadlessSound) * static_cast<size_t>(n));
    std::memmove(H.sounds, H.sounds + n, sizeof(HeadlessSound) * static_cast<size_t>(H.soundCount - n));
    H.soundCount -= n;
    return n;
}

bool HeadlessTakePosted(Message* message) {
    if (H.postedCount == 0) return false;
    *message = H.posted[H.postedHead];
    H.postedHead = (H.postedHead + 1) % QueueSize;
    --H.postedCount;
    return true;
}

bool HeadlessQuitPosted() { return H.quit; }
int32_t HeadlessPresentCount() { return H.presents; }
bool HeadlessTimerRunning() { return H.timer; }

Window PlatformCreateWindow(const char*, WindowProcedure procedure) {
    if (procedure == nullptr || H.alive) return 0;
    H.procedure = procedure;
    H.alive = true;
    procedure(1, MSG_CREATE, 0, 0);
    return 1;
}

void PlatformWindowSize(Window, int32_t* width, int32_t* height) {
    *width = H.width;
    *height = H.height;
}

void PlatformShowWindow(Window) {}
void PlatformUpdateWindow(Window) {}
void PlatformInvalidate(Window) {}

void PlatformDestroyWindow(Window window) {
    if (!H.alive) return;
    H.procedure(window, MSG_DESTROY, 0, 0);
    H.alive = false;
}

bool PlatformWindowAlive(Window) { return H.alive; }
bool PlatformHasSmallIcon(Window) { return H.smallIcon; }
void PlatformSetSmallIcon(Window, int32_t, int32_t) { H.smallIcon = true; }
void PlatformSetClassIcon(int32_t) {}

bool PlatformGetMessage(Message* message) {
    // Nothing arrives by itself here: only what was posted.
    return !H.quit && HeadlessTakePosted(message);
}

int32_t PlatformDispatchMessage(const Message& m) {
    if (!H.alive || H.procedure == nullptr) return 0;
    return H.procedure(m.window, m.message, m.wParam, m.lParam);
}

void PlatformPostMessage(Window window, uint32_t message, uint32_t wParam, int32_t lParam) {
    if (H.postedCount == QueueSize) return;
    H.posted[(H.postedHead + H.postedCount++) % QueueSize] = Message{window, message, wParam, lParam};
}

void PlatformPostQuitMessage(int32_t exitCode) {
    H.quit = true;
    H.quitCode = exitCode;
}

int32_t PlatformQuitCode() { return H.quitCode; }

int32_t PlatformDefaultWindowProc(Window window, uint32_t message, uint32_t, int32_t) {
    // A close request destroys the window, as the desktop does.
    if (message == MSG_CLOSE) PlatformDestroyWindow(window);
    return 0;
}

bool PlatformKeyHeld(uint32_t) { return false; }
void PlatformSetTimer(Window, uint32_t, uint32_t) { H.timer = true; }
void PlatformKillTimer(Window, uint32_t) { H.timer = false; }
void PlatformPresent(Window, const uint32_t*, int32_t, int32_t, int32_t) { ++H.presents; }
void PlatformPlayWave(const char* name) { RecordSound(name != nullptr ? name : ""); }
void PlatformStopSound() { RecordSound(""); }

void PlatformDataFolder(char* buffer, size_t size) {
    if (size > 0) buffer[0] = 0;
}

bool PlatformScriptedDialog(DialogAnswer* answer) {
    if (H.answerCount == 0) {
        *answer = DialogAnswer{{0, 0, 0, 0}, 2};
        // No answer waiting: the dialog is cancelled. Cancel leaves the
        // check boxes unread, so their values here do not matter.
        return true;
    }
    *answer = H.answers[H.answerHead];
    H.answerHead = (H.answerHead + 1) % QueueSize;
    --H.answerCount;
    return true;
}
