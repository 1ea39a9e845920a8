// SPDX-License-Identifier: GPL-3.0-or-later
// The saved-game loader against any bytes: the decoder takes a file only
// whole and gives back exactly what it took; the game started on the same
// bytes as its saved game comes back in play (or shows the title when they
// were refused), goes on with Space and a held Down without fault, and
// whatever it keeps when it is ended as a signal ends it is a saved game
// the decoder takes again.
#include "game/flow.h"
#include "game/snapshot.h"
#include "platform/headless/headless.h"
#include "shell/app.h"
#include "shell/saved_game.h"
#include "shell/settings.h"
#include "tests/fuzz/fuzz_folder.h"
#include "tools/soak/fresh_game.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {
void Check(bool ok) {
    if (!ok) __builtin_trap();
}

void Deliver(const Event& e) {
    if (PlatformWindowAlive(MainWindow)) PlatformDispatchEvent(e);
}

void Ticks(int32_t n) {
    for (int32_t i = 0; i < n; ++i) Deliver(TimerEvent(GameTimerId, 0));
}

int32_t ReadBack(const std::string& path, uint8_t* bytes, size_t size) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) return -1;
    const size_t n = std::fread(bytes, 1, size, f);
    std::fclose(f);
    return static_cast<int32_t>(n);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FreshGame();
    const bool taken = DecodeGame(data, size);
    if (taken) {
        uint8_t again[SnapshotSize];
        Check(EncodeGame(again) == SnapshotSize && std::memcmp(again, data, SnapshotSize) == 0);
    }

    static const std::string settings = FuzzFolder() + "/vantle.dat";
    static const std::string game = FuzzFolder() + "/vantle.sav";
    unlink(settings.c_str());
    FILE* f = std::fopen(game.c_str(), "wb");
    Check(f != nullptr);
    if (size > 0) Check(std::fwrite(data, 1, size, f) == size);
    std::fclose(f);

    FreshGame();
    SetSettingsPath(settings.c_str());
    SetGamePath(game.c_str());
    Check(CreateMainWindow() == 1);
    Check(GameInProgress() == taken);
    if (taken) Check(Flow.FallStep == 0);

    // Space goes on; Down held drops pairs through landings and chains.
    Deliver(KeyEvent(EVENT_KEY_DOWN, VK_SPACE));
    Ticks(2);
    Deliver(KeyEvent(EVENT_KEY_UP, VK_SPACE));
    Deliver(KeyEvent(EVENT_KEY_DOWN, VK_DOWN));
    Ticks(size % 160);
    Deliver(KeyEvent(EVENT_KEY_UP, VK_DOWN));

    const bool inProgress = GameInProgress();
    Deliver(MakeEvent(EVENT_CLOSE));
    Check(!PlatformWindowAlive(MainWindow));
    uint8_t kept[SnapshotSize + 1];
    const int32_t n = ReadBack(game, kept, sizeof kept);
    if (inProgress) {
        FreshGame();
        Check(n == SnapshotSize && DecodeGame(kept, static_cast<size_t>(n)));
    }
    FreshGame();
    SetGamePath("");
    return 0;
}
