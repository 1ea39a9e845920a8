// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/settings.h"

#include "game/board.h"
#include "game/flow.h"
#include "input/buttons.h"
#include "platform/bytes.h"
#include "platform/files.h"
#include "platform/platform.h"
#include "platform/text.h"

namespace {
constexpr int32_t MagicV = 86, MagicA = 65;
// Empty when there is no file: the defaults at start-up, nothing saved.
char Path[FilePathSize] = "vantle.dat";

void PutWord(uint8_t* p, int32_t v) { WriteLe32(p, static_cast<uint32_t>(v)); }
int32_t GetWord(const uint8_t* p) { return static_cast<int32_t>(ReadLe32(p)); }

// The values of the file at `path`; false when it is missing, is not a
// regular file or does not hold settings.
bool ReadFile(const char* path, SettingsValues* values) {
    uint8_t bytes[SettingsFileSize];
    const int32_t n = FileRead(path, bytes, sizeof bytes);
    return n >= 0 && DecodeSettings(bytes, static_cast<size_t>(n), values);
}

// The values taken into the game.
void Take(const SettingsValues& v) {
    SetToggle(BUTTON_SOUND, v.Sound);
    SetHighScore(v.HighScore);
    SetKeyRepeat(v.KeyRepeat);
    SetToggle(BUTTON_HIDDEN, v.Hidden);
}

// Sound on, no high score, only the drop repeats.
void SetDefaults() { Take(SettingsValues{1, 0, {0, 0, 1, 0}, 1}); }
} // namespace

void SetSettingsPath(const char* path) {
    // A name too long to hold is no better than none: never a file elsewhere.
    if (!CopyText(Path, path)) Path[0] = 0;
}

const char* SettingsPath() { return Path; }

bool DecodeSettings(const uint8_t* bytes, size_t size, SettingsValues* values) {
    if (size < static_cast<size_t>(SettingsFileSize) || GetWord(bytes) != MagicV ||
        GetWord(bytes + 4) != MagicA)
        return false;
    values->Sound = GetWord(bytes + 8);
    values->HighScore = GetWord(bytes + 12);
    for (int32_t i = 0; i < 4; ++i) values->KeyRepeat[i] = GetWord(bytes + 16 + 4 * i);
    values->Hidden = GetWord(bytes + 32);
    return true;
}

void EncodeSettings(const SettingsValues& values, uint8_t* bytes) {
    PutWord(bytes, MagicV);
    PutWord(bytes + 4, MagicA);
    PutWord(bytes + 8, values.Sound);
    PutWord(bytes + 12, values.HighScore);
    for (int32_t i = 0; i < 4; ++i) PutWord(bytes + 16 + 4 * i, values.KeyRepeat[i]);
    PutWord(bytes + 32, values.Hidden);
}

void LoadSettings() {
    // Read-only: a file the player made read-only still gives its values.
    uint8_t bytes[SettingsFileSize];
    const int32_t n = Path[0] != 0 ? FileRead(Path, bytes, sizeof bytes) : FILE_NONE;
    if (n == FILE_NONE) {
        // No file (or something that is not a file in its place).
        SetDefaults();
        return;
    }
    // A short file is treated like one whose magic does not match: the
    // values keep what they held before.
    SettingsValues v{};
    if (n < 0 || !DecodeSettings(bytes, static_cast<size_t>(n), &v)) return;
    Take(v);
}

bool SaveSettings() {
    if (Path[0] == 0) return false;
    // The file a save replaces, its links followed. Only a regular file we
    // may write is replaced: a file made read-only stays as it is, as does a
    // folder, a FIFO or a device (a link to /dev/null keeps nothing).
    FileTarget target;
    if (!FileFindTarget(Path, &target)) {
        FileReport(Path, false, target.error);
        return false;
    }

    SettingsValues v{Buttons.Table[BUTTON_SOUND].state,
                     Board.HighScore,
                     {Flow.KeyRepeat[REPEAT_ROTATION], Flow.KeyRepeat[REPEAT_LEFT],
                      Flow.KeyRepeat[REPEAT_DROP], Flow.KeyRepeat[REPEAT_RIGHT]},
                     Buttons.Table[BUTTON_HIDDEN].state};
    // Another copy of the game may have saved a better high score since
    // this one started: the higher of the two is kept. In a browser the
    // file is brought up to date from its storage first, where another tab
    // may have saved.
    PlatformFileFetch(target.path);
    SettingsValues onDisk{};
    if (target.exists && ReadFile(target.path, &onDisk) && onDisk.HighScore > v.HighScore)
        v.HighScore = onDisk.HighScore;
    uint8_t bytes[SettingsFileSize];
    EncodeSettings(v, bytes);

    // Written whole beside the old file and renamed over it: a crash, a
    // signal or a full disk mid-save leaves the old file as it was.
    return PlatformFileReplace(target, bytes, sizeof bytes);
}
