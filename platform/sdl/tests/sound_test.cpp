// SPDX-License-Identifier: GPL-3.0-or-later
// The sound output as the game meets it: a cue lasts its sound's length,
// whether the output is healthy, cannot be opened, or cannot be closed.
// SDL's disk driver stands for the sound server: its file is a FIFO that
// nobody reads (opening it waits for a reader) or that a reader opens and
// never drains (writing, and so closing, waits).
#include "platform/sdl/desktop.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr uint64_t LandingMs = 1102 * 1000 / 11025; // WAVE3
constexpr uint64_t Slack = 24 + 250;                // a device buffer, and a busy machine

std::string OutputPath(const char* name) {
    std::string path = ::testing::TempDir() + "vantle-sound-" + name;
    std::remove(path.c_str());
    // As in the game: a reader gone is an error to the writer, not its end.
    signal(SIGPIPE, SIG_IGN);
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", path.c_str(), 1);
    return path;
}

// A case's own process tells its failures on standard error, which is
// what the case's caller shows.
bool Failed = false;
void Check(bool ok, const char* what, uint64_t value, int line) {
    if (ok) return;
    Failed = true;
    std::fprintf(stderr, "line %d: %s (%llu)\n", line, what,
                 static_cast<unsigned long long>(value));
}
#define CHECK_LE(a, b, what) Check((a) <= (b), what, a, __LINE__)
#define CHECK_GE(a, b, what) Check((a) >= (b), what, a, __LINE__)

// Each case runs in a process of its own, started afresh: an output that
// one case leaves stalled must not meet the next. Under an emulator
// (qemu-user, for a cross build) the program cannot start itself again, so
// the case's process is forked instead; ctest runs each case in a process
// of its own anyway, so nothing else has touched SDL before the fork.
#ifdef VANTLE_EMULATED
constexpr const char* CaseProcessStyle = "fast";
#else
constexpr const char* CaseProcessStyle = "threadsafe";
#endif
#define ALONE(body)                                                                                \
    do {                                                                                           \
        GTEST_FLAG_SET(death_test_style, CaseProcessStyle);                                        \
        EXPECT_EXIT(                                                                               \
            {                                                                                      \
                body;                                                                              \
                std::exit(Failed ? 1 : 0);                                                         \
            },                                                                                     \
            ::testing::ExitedWithCode(0), "");                                                     \
    } while (0)

uint64_t TimedCue(const char* wave) {
    const uint64_t start = SDL_GetTicks64();
    PlatformPlayWave(wave);
    return SDL_GetTicks64() - start;
}

void ACueLastsItsSoundAndReachesTheOutput() {
    const std::string path = OutputPath("file");
    const uint64_t first = TimedCue("WAVE3"); // the output opens meanwhile
    CHECK_GE(first, LandingMs, "the first cue ended before its sound");
    CHECK_LE(first, LandingMs + Slack, "the first cue outlasted its sound");
    SDL_Delay(100); // the sound may have started late, with the output
    const uint64_t second = TimedCue("WAVE3");
    CHECK_GE(second, LandingMs, "the second cue ended before its sound");
    CHECK_LE(second, LandingMs + Slack, "the second cue outlasted its sound");
    // Closed at exit, the output has written all it had.
    const uint64_t start = SDL_GetTicks64();
    Check(SoundShutdown(), "a healthy output was not closed at exit", 0, __LINE__);
    CHECK_LE(SDL_GetTicks64() - start, 150u, "the exit waited too long");
    struct stat info {};
    stat(path.c_str(), &info);
    CHECK_GE(static_cast<uint64_t>(info.st_size), 2u * 1102, "bytes written: not both landings");
    std::remove(path.c_str());
}

TEST(SoundOutput, ACueLastsItsSoundAndReachesTheOutput) {
    ALONE(ACueLastsItsSoundAndReachesTheOutput());
}

void AnOutputThatCannotOpenCostsEachCueItsLengthOnly() {
    const std::string path = OutputPath("fifo-unread");
    Check(mkfifo(path.c_str(), 0600) == 0, "no FIFO", 0, __LINE__);
    // Should a cue wait for the output after all, a reader comes after 3 s.
    int reader = -1;
    std::thread rescue([&] {
        SDL_Delay(3000);
        reader = open(path.c_str(), O_RDONLY | O_NONBLOCK);
    });
    CHECK_LE(TimedCue("WAVE3"), LandingMs + Slack, "the cue waited for the output");
    const uint64_t second = TimedCue("WAVE1");
    CHECK_GE(second, 200u, "a cue that cannot be heard ended before its sound's length");
    CHECK_LE(second, 200 + Slack, "a cue that cannot be heard outlasted its sound");
    const uint64_t start = SDL_GetTicks64();
    PlatformStopSound();
    Check(!SoundShutdown(), "the exit took an output still being opened as closed", 0, __LINE__);
    CHECK_LE(SDL_GetTicks64() - start, 50u, "stopping or the exit waited for the output");
    CHECK_LE(TimedCue("WAVE2"), 50u, "a cue after the exit did not end at once");
    rescue.join();
    if (reader >= 0) close(reader);
    std::remove(path.c_str());
}

TEST(SoundOutput, AnOutputThatCannotOpenCostsEachCueItsLengthOnly) {
    ALONE(AnOutputThatCannotOpenCostsEachCueItsLengthOnly());
}

void AnOutputThatCannotCloseHoldsNoCue() {
    const std::string path = OutputPath("fifo-full");
    Check(mkfifo(path.c_str(), 0600) == 0, "no FIFO", 0, __LINE__);
    // A reader that takes nothing: a page of pipe fills in a third of a
    // second of sound, and the output's thread then waits to write.
    int reader = -1;
    std::thread open_reader([&] {
        reader = open(path.c_str(), O_RDONLY);
        if (reader >= 0) fcntl(reader, F_SETPIPE_SZ, 4096);
    });
    CHECK_LE(TimedCue("WAVE3"), LandingMs + Slack, "the cue outlasted its sound");
    open_reader.join();
    if (reader < 0) std::exit(1);
    // A second of quiet: the output is closed, which now waits on the pipe.
    SDL_Delay(1500);
    const uint64_t cue = TimedCue("WAVE1");
    CHECK_GE(cue, 200u, "the cue ended before its sound's length");
    CHECK_LE(cue, 200 + Slack, "the cue waited on the output being closed");
    const uint64_t start = SDL_GetTicks64();
    PlatformStopSound();
    Check(!SoundShutdown(), "the exit took an output still being closed as closed", 0, __LINE__);
    CHECK_LE(SDL_GetTicks64() - start, 50u, "stopping or the exit waited for the output");
    // Drained, the pipe lets the close finish.
    std::vector<char> sink(65536);
    const int flags = fcntl(reader, F_GETFL);
    fcntl(reader, F_SETFL, flags | O_NONBLOCK);
    for (int i = 0; i < 50; ++i) {
        while (read(reader, sink.data(), sink.size()) > 0) {
        }
        SDL_Delay(20);
    }
    close(reader);
    std::remove(path.c_str());
}

TEST(SoundOutput, AnOutputThatCannotCloseHoldsNoCue) { ALONE(AnOutputThatCannotCloseHoldsNoCue()); }

void AnEndingProgramCutsTheCueShort() {
    const std::string path = OutputPath("cut");
    std::thread signal([] {
        SDL_Delay(150);
        SoundInterrupt();
    });
    const uint64_t cue = TimedCue("WAVE2"); // 0.88 s
    signal.join();
    CHECK_GE(cue, 140u, "the cue ended before it was cut short");
    CHECK_LE(cue, 150 + Slack, "the cue went on after it was cut short");
    std::remove(path.c_str());
}

TEST(SoundOutput, AnEndingProgramCutsTheCueShort) { ALONE(AnEndingProgramCutsTheCueShort()); }

} // namespace
