// SPDX-License-Identifier: GPL-3.0-or-later
// Starting and ending SDL, how the program ends on a signal or when its
// display goes away, and the player's data folder.
#include "platform/sdl/desktop.h"
#include "platform/sdl/video.h"

#include "platform/text.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dlfcn.h>
#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// Xlib's handler for a lost connection, by its C signature.
using IoErrorHandler = int (*)(void* display);
using SetIoErrorHandler = IoErrorHandler (*)(IoErrorHandler handler);
// Xlib's report of a request that failed (XErrorEvent), and its handler.
struct XErrorReport {
    int type;
    void* display;
    unsigned long resourceid;
    unsigned long serial;
    unsigned char error_code;
    unsigned char request_code;
    unsigned char minor_code;
};
using ErrorHandler = int (*)(void* display, XErrorReport* error);
using SetErrorHandler = ErrorHandler (*)(ErrorHandler handler);
// The errors of a request made for a window that no longer exists.
constexpr unsigned char BadWindowError = 3, BadDrawableError = 9;

struct SystemState {
    bool started; // signals taken over, exit handler registered
    int errors;   // the standard error the program started with
    pthread_t mainThread;
    sigset_t endSignals;
    // The signal thread may hand SDL an event only while SDL runs.
    pthread_mutex_t eventLock;
    bool eventsUp;
    std::atomic<int> endSignal; // the first ending signal received, 0 before
    unsigned long window;       // the X window watched for its loss
    ErrorHandler xlibErrors;    // the error handler before ours (SDL's)
};
SystemState System{false, -1, {}, {}, PTHREAD_MUTEX_INITIALIZER, false, {0}, 0, nullptr};

constexpr int EndingSignals[] = {SIGTERM, SIGHUP, SIGINT, SIGQUIT};

void Report(const char* text) {
    const int fd = System.errors >= 0 ? System.errors : STDERR_FILENO;
    const size_t size = std::strlen(text);
    size_t done = 0;
    while (done < size) {
        const ssize_t n = write(fd, text + done, size - done);
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
}

// The ending signals are taken by one thread that waits for them, so no
// handler ever interrupts the game (or a save) halfway: each becomes a
// request to close the window, which the game answers as it answers the
// window manager's, saving its settings and exiting with 0.
void* SignalThread(void*) {
    for (;;) {
        int signal = 0;
        if (sigwait(&System.endSignals, &signal) != 0) continue;
        int none = 0;
        System.endSignal.compare_exchange_strong(none, signal);
        SoundInterrupt();
        pthread_mutex_lock(&System.eventLock);
        if (System.eventsUp) {
            SDL_Event quit{};
            quit.type = SDL_QUIT;
            SDL_PushEvent(&quit); // wakes the message loop
        }
        pthread_mutex_unlock(&System.eventLock);
    }
    return nullptr;
}

// Before any thread starts, so that every thread (SDL's, the sound
// libraries') inherits the mask and only the signal thread sees them. A
// signal the program was started ignoring (nohup's hang-up, a background
// job's interrupt) stays ignored.
void TakeSignals() {
    sigemptyset(&System.endSignals);
    for (const int signal : EndingSignals) {
        struct sigaction now {};
        if (sigaction(signal, nullptr, &now) == 0 && now.sa_handler == SIG_IGN) continue;
        sigaddset(&System.endSignals, signal);
    }
    pthread_sigmask(SIG_BLOCK, &System.endSignals, nullptr);
    // A connection whose other end has gone (the X server's, a sound
    // output's) fails its writes instead of ending the program unsaved.
    struct sigaction pipe {};
    if (sigaction(SIGPIPE, nullptr, &pipe) == 0 && pipe.sa_handler == SIG_DFL)
        signal(SIGPIPE, SIG_IGN);
    // A file grown past the size limit the game was started with fails its
    // write (the save says so) instead of ending the program unsaved.
    struct sigaction size {};
    if (sigaction(SIGXFSZ, nullptr, &size) == 0 && size.sa_handler == SIG_DFL)
        signal(SIGXFSZ, SIG_IGN);
    pthread_t thread;
    if (pthread_create(&thread, nullptr, SignalThread, nullptr) == 0) pthread_detach(thread);
    // SDL would turn two of them into its quit event by handlers of its own.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
}

// SDL shut down however the program ends, but never waiting on a sound
// output that a stalled sound server holds: the program ends without it,
// and without the rest of the exit, which could wait on the same output
// (SDL's disk output is a stdio file, flushed at exit).
void QuitAtExit(int status, void*) {
    timespec limit{};
    clock_gettime(CLOCK_REALTIME, &limit);
    limit.tv_nsec += 200 * 1000 * 1000;
    if (limit.tv_nsec >= 1000 * 1000 * 1000) {
        limit.tv_sec += 1;
        limit.tv_nsec -= 1000 * 1000 * 1000;
    }
    if (pthread_mutex_timedlock(&System.eventLock, &limit) != 0) return;
    System.eventsUp = false;
    pthread_mutex_unlock(&System.eventLock);
    if (SoundShutdown()) {
        SDL_Quit();
        return;
    }
    SDL_QuitSubSystem(SDL_INIT_EVERYTHING & ~static_cast<uint32_t>(SDL_INIT_AUDIO));
    std::fflush(stdout);
    std::fflush(stderr);
    _exit(status);
}

// Xlib calls this when the connection to the X server breaks (the session
// ended, the server was stopped) and ends the program if it returns; SDL
// would then be shut down on the dead connection. Instead the settings are
// saved as the window's destruction saves them, and the program ends at
// once, without its exit handlers.
[[noreturn]] void EndLost(const char* line) {
    if (WindowProcedureIfAlive() != nullptr) {
        RunSleptTicks();
        if (const WindowProcedure procedure = WindowProcedureIfAlive())
            procedure(DesktopWindow, MakeEvent(EVENT_END_SESSION));
    }
    Report(line);
    _exit(1);
}

int DisplayLost(void*) {
    if (!pthread_equal(pthread_self(), System.mainThread)) {
        // Another thread's connection (SDL wakes the main thread through
        // one of its own). The main thread meets the broken connection at
        // its next look at the display and ends the program there.
        for (;;) pause();
    }
    EndLost("vantle: the connection to the display was lost; the settings and any game in "
            "progress are saved\n");
}

// Another program destroyed the window (xdotool's windowclose, a window
// manager's kill): the next request for it fails. Xlib's own handler would
// end the program on the spot, its exit handlers then shutting SDL down on
// a window that is gone (an assertion in Xlib, nothing saved). It ends as
// a lost display does instead. Any other failed request goes to the handler
// that was there before.
int RequestFailed(void* display, XErrorReport* error) {
    const bool gone = error->error_code == BadWindowError || error->error_code == BadDrawableError;
    if (gone && (System.window == 0 || error->resourceid == System.window) &&
        pthread_equal(pthread_self(), System.mainThread))
        EndLost("vantle: the window was destroyed by another program; the settings and any game "
                "in progress are saved\n");
    return System.xlibErrors != nullptr ? System.xlibErrors(display, error) : 0;
}

// SDL's X11 driver brings in Xlib; the handler is Xlib's, for the process.
void WatchDisplay() {
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver == nullptr || std::strcmp(driver, "x11") != 0) return;
    void* xlib = dlopen("libX11.so.6", RTLD_LAZY | RTLD_NOLOAD);
    if (xlib == nullptr) return;
    const auto set = reinterpret_cast<SetIoErrorHandler>(dlsym(xlib, "XSetIOErrorHandler"));
    if (set != nullptr) set(DisplayLost);
    const auto setErrors = reinterpret_cast<SetErrorHandler>(dlsym(xlib, "XSetErrorHandler"));
    if (setErrors != nullptr) {
        const ErrorHandler before = setErrors(RequestFailed);
        if (before != RequestFailed) System.xlibErrors = before;
    }
    dlclose(xlib); // still loaded: SDL holds it
}

// Why no window could be had, in one line.
void ReportNoDisplay() {
    const char* x = SDL_getenv("DISPLAY");
    const char* wayland = SDL_getenv("WAYLAND_DISPLAY");
    char line[512];
    if ((x == nullptr || x[0] == 0) && (wayland == nullptr || wayland[0] == 0))
        std::snprintf(line, sizeof line,
                      "vantle: no display to show the window on: neither DISPLAY nor "
                      "WAYLAND_DISPLAY is set (%s)\n",
                      SDL_GetError());
    else if (Video.waylandTrouble == nullptr)
        std::snprintf(line, sizeof line, "vantle: cannot open the display %s%s%s: %s\n",
                      x != nullptr ? x : "", x != nullptr && wayland != nullptr ? " or " : "",
                      wayland != nullptr ? wayland : "", SDL_GetError());
    else if (x == nullptr)
        std::snprintf(line, sizeof line, "vantle: cannot open the display %s: %s\n",
                      wayland != nullptr ? wayland : "", Video.waylandTrouble);
    else
        // SDL's reason is the X server's; the compositor was not tried.
        std::snprintf(line, sizeof line, "vantle: cannot open the display %s%s%s: %s; %s\n", x,
                      wayland != nullptr ? " or " : "", wayland != nullptr ? wayland : "",
                      SDL_GetError(), Video.waylandTrouble);
    Report(line);
}

void Start() {
    System.started = true;
    System.mainThread = pthread_self();
    System.errors = fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 3);
    SoundPrepare(); // the signal thread may interrupt a cue
    TakeSignals();
    on_exit(QuitAtExit, nullptr);
}
} // namespace

bool StartSdl(uint32_t subsystem) {
    if (SDL_WasInit(subsystem) == subsystem) return true;
    if (!System.started) Start();
    SDL_SetMainReady();
    SDL_SetHint(SDL_HINT_APP_NAME, "vantle");
    if (SDL_InitSubSystem(subsystem) != 0) {
        if (subsystem == SDL_INIT_VIDEO) ReportNoDisplay();
        return false;
    }
    pthread_mutex_lock(&System.eventLock);
    System.eventsUp = SDL_WasInit(SDL_INIT_EVENTS) != 0;
    pthread_mutex_unlock(&System.eventLock);
    if (subsystem == SDL_INIT_VIDEO) WatchDisplay();
    return true;
}

bool EndRequested() { return System.endSignal.load() != 0; }

void WatchWindow(unsigned long xid) { System.window = xid; }

void PlatformDataFolder(char* buffer, size_t size) {
    if (buffer == nullptr || size == 0) return;
    buffer[0] = 0;
    // $XDG_DATA_HOME/vantle/, else ~/.local/share/vantle/. An empty or
    // relative XDG_DATA_HOME counts as unset, as the XDG rules say; SDL
    // would take it as it is. A home that is not an absolute path gives no
    // folder at all: a relative one would put the file wherever the game
    // was started.
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg != nullptr && xdg[0] != '/') unsetenv("XDG_DATA_HOME");
    const char* home = std::getenv("HOME");
    if (std::getenv("XDG_DATA_HOME") == nullptr && (home == nullptr || home[0] != '/')) return;
    // No organisation: SDL then makes the folder straight under the data home.
    char* path = SDL_GetPrefPath("", "vantle");
    if (path == nullptr) return;
    // Something other than a folder in its place is no folder, and a path
    // too long for the buffer is none at all, never part of one.
    struct stat info {};
    // A path too long for the buffer is no folder either, not part of one.
    if (path[0] == '/' && stat(path, &info) == 0 && S_ISDIR(info.st_mode) &&
        !CopyText(buffer, size, path))
        buffer[0] = 0;
    SDL_free(path);
}

// SDL keeps the screen saver off while its window is open.
void PlatformKeepAwake(Window, bool) {}
void PlatformFileFetch(const char*) {}
