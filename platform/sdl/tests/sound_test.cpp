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
constexpr uint64_t Slack = 24 + 40;                 // a device buffer, and a busy machine

std::string OutputPath(const char* name) {
    const std::string path = ::testing::TempDir() + "vantle-sound-" + name;
    std::remove(path.c_str());
    // As in the game: a reader gone is an error to the writer, not its end.
    signal(SIGPIPE, SIG_IGN);
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", path.c_str(), 1);
    return path;
}

// Each case runs in a process of its own, started afresh: an output that
// one case leaves stalled must not meet the next.
#define ALONE(body)                                                                                \
    do {                                                                                           \
        GTEST_FLAG_SET(death_test_style, "threadsafe");                                            \
        EXPECT_EXIT(                                                                               \
            {                                                                                      \
                body;                                                                              \
                std::exit(::testing::Test::HasFailure() ? 1 : 0);                                  \
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
    EXPECT_GE(first, LandingMs);
    EXPECT_LE(first, LandingMs + Slack);
    SDL_Delay(100); // the sound may have started late, with the output
    const uint64_t second = TimedCue("WAVE3");
    EXPECT_GE(second, LandingMs);
    EXPECT_LE(second, LandingMs + Slack);
    const uint64_t start = SDL_GetTicks64();
    EXPECT_TRUE(SoundShutdown()) << "a healthy output closes at exit";
    EXPECT_LE(SDL_GetTicks64() - start, 250u);
    struct stat info {};
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_GE(info.st_size, 2 * 1102) << "both landings were written";
    PlatformPlayWave("WAVE3");
    std::remove(path.c_str());
}

TEST(SoundOutput, ACueLastsItsSoundAndReachesTheOutput) {
    ALONE(ACueLastsItsSoundAndReachesTheOutput());
}

void AnOutputThatCannotOpenCostsEachCueItsLengthOnly() {
    const std::string path = OutputPath("fifo-unread");
    ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    // Should a cue wait for the output after all, a reader comes after 3 s.
    int reader = -1;
    std::thread rescue([&] {
        SDL_Delay(3000);
        reader = open(path.c_str(), O_RDONLY | O_NONBLOCK);
    });
    EXPECT_LE(TimedCue("WAVE3"), LandingMs + Slack) << "the cue waited for the output";
    const uint64_t second = TimedCue("WAVE1");
    EXPECT_GE(second, 200u) << "a cue lasts its sound all the same";
    EXPECT_LE(second, 200 + Slack);
    const uint64_t start = SDL_GetTicks64();
    PlatformStopSound();
    EXPECT_FALSE(SoundShutdown()) << "the output is still being opened";
    EXPECT_LE(SDL_GetTicks64() - start, 20u);
    EXPECT_LE(TimedCue("WAVE2"), 20u) << "once the program ends, cues end at once";
    rescue.join();
    if (reader >= 0) close(reader);
    std::remove(path.c_str());
}

TEST(SoundOutput, AnOutputThatCannotOpenCostsEachCueItsLengthOnly) {
    ALONE(AnOutputThatCannotOpenCostsEachCueItsLengthOnly());
}

void AnOutputThatCannotCloseHoldsNoCue() {
    const std::string path = OutputPath("fifo-full");
    ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    // A reader that takes nothing: a page of pipe fills in a third of a
    // second of sound, and the output's thread then waits to write.
    int reader = -1;
    std::thread open_reader([&] {
        reader = open(path.c_str(), O_RDONLY);
        if (reader >= 0) fcntl(reader, F_SETPIPE_SZ, 4096);
    });
    EXPECT_LE(TimedCue("WAVE3"), LandingMs + Slack);
    open_reader.join();
    ASSERT_GE(reader, 0);
    // A second of quiet: the output is closed, which now waits on the pipe.
    SDL_Delay(1500);
    const uint64_t cue = TimedCue("WAVE1");
    EXPECT_GE(cue, 200u);
    EXPECT_LE(cue, 200 + Slack);
    const uint64_t start = SDL_GetTicks64();
    PlatformStopSound();
    EXPECT_FALSE(SoundShutdown()) << "the output is still being closed";
    EXPECT_LE(SDL_GetTicks64() - start, 20u);
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

TEST(SoundOutput, AnOutputThatCannotCloseHoldsNoCue) {
    ALONE(AnOutputThatCannotCloseHoldsNoCue());
}

void AnEndingProgramCutsTheCueShort() {
    const std::string path = OutputPath("cut");
    std::thread signal([] {
        SDL_Delay(150);
        SoundInterrupt();
    });
    const uint64_t cue = TimedCue("WAVE2"); // 0.88 s
    signal.join();
    EXPECT_GE(cue, 140u);
    EXPECT_LE(cue, 150 + Slack);
    EXPECT_TRUE(SoundShutdown());
    std::remove(path.c_str());
}

TEST(SoundOutput, AnEndingProgramCutsTheCueShort) {
    ALONE(AnEndingProgramCutsTheCueShort());
}

} // namespace
