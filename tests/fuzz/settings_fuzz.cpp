// SPDX-License-Identifier: GPL-3.0-or-later
// The settings file loader against any bytes: the decoder takes exactly the
// files it should and gives back what it read; the loader, given the same
// bytes as a file, takes the same values or leaves every value as it was;
// what it took is saved back whole.
#include "game/board.h"
#include "game/flow.h"
#include "input/buttons.h"
#include "shell/settings.h"
#include "tests/fuzz/fuzz_folder.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {
void Check(bool ok) {
    if (!ok) __builtin_trap();
}

int32_t GetWord(const uint8_t* p) {
    return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                                static_cast<uint32_t>(p[2]) << 16 |
                                static_cast<uint32_t>(p[3]) << 24);
}

SettingsValues Held() {
    return SettingsValues{
        Buttons.Table[BUTTON_SOUND].state,
        Board.HighScore,
        {Flow.KeyRepeat[0], Flow.KeyRepeat[1], Flow.KeyRepeat[2], Flow.KeyRepeat[3]},
        Buttons.Table[BUTTON_HIDDEN].state};
}

bool Same(const SettingsValues& a, const SettingsValues& b) {
    return a.Sound == b.Sound && a.HighScore == b.HighScore && a.Hidden == b.Hidden &&
           std::memcmp(a.KeyRepeat, b.KeyRepeat, sizeof a.KeyRepeat) == 0;
}

// Values no file gives by chance, to see whether a load touched them.
void Sentinels() {
    Buttons.Table[BUTTON_SOUND].state = 0x5EED0001;
    Board.HighScore = 0x5EED0002;
    for (int32_t i = 0; i < 4; ++i) Flow.KeyRepeat[i] = 0x5EED0003 + i;
    Buttons.Table[BUTTON_HIDDEN].state = 0x5EED0007;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SettingsValues decoded{};
    const bool whole = DecodeSettings(data, size, &decoded);
    const bool expected = size >= 36 && GetWord(data) == 86 && GetWord(data + 4) == 65;
    Check(whole == expected);
    if (whole) {
        uint8_t again[SettingsFileSize];
        EncodeSettings(decoded, again);
        Check(std::memcmp(again, data, SettingsFileSize) == 0);
    }

    static const std::string path = FuzzFolder() + "/vantle.dat";
    SetSettingsPath(path.c_str());
    FILE* f = std::fopen(path.c_str(), "wb");
    Check(f != nullptr);
    if (size > 0) Check(std::fwrite(data, 1, size, f) == size);
    std::fclose(f);
    Sentinels();
    const SettingsValues before = Held();
    LoadSettings();
    Check(Same(Held(), whole ? decoded : before));

    // Saved back, it reads the same.
    Check(SaveSettings());
    uint8_t saved[SettingsFileSize + 1];
    f = std::fopen(path.c_str(), "rb");
    Check(f != nullptr);
    const size_t n = std::fread(saved, 1, sizeof saved, f);
    std::fclose(f);
    SettingsValues back{};
    Check(n == SettingsFileSize && DecodeSettings(saved, n, &back) && Same(back, Held()));
    return 0;
}
