#include "shell/settings.h"

#include "game/board.h"
#include "game/flow.h"
#include "input/buttons.h"
#include "platform/bytes.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr int32_t MagicV = 86, MagicA = 65;
char Path[4096] = "vantle.dat";

void PutWord(uint8_t* p, int32_t v) { WriteLe32(p, static_cast<uint32_t>(v)); }
int32_t GetWord(const uint8_t* p) { return static_cast<int32_t>(ReadLe32(p)); }

// Reads up to `size` bytes, going on after short reads and interruptions.
ssize_t ReadAll(int fd, uint8_t* buffer, size_t size) {
    size_t done = 0;
    while (done < size) {
        const ssize_t n = read(fd, buffer + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return -1;
        if (n == 0) break;
        done += static_cast<size_t>(n);
    }
    return static_cast<ssize_t>(done);
}

bool WriteAll(int fd, const uint8_t* buffer, size_t size) {
    size_t done = 0;
    while (done < size) {
        const ssize_t n = write(fd, buffer + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

void SetDefaults() {
    ButtonTable[BUTTON_SOUND].state = 1;
    HighScore = 0;
    KeyRepeat[REPEAT_ROTATION] = 0;
    KeyRepeat[REPEAT_LEFT] = 0;
    KeyRepeat[REPEAT_DROP] = 1;
    KeyRepeat[REPEAT_RIGHT] = 0;
    ButtonTable[BUTTON_NINTH].state = 1;
}
} // namespace

void SetSettingsPath(const char* path) {
    if (path == nullptr || path[0] == 0 || std::strlen(path) >= sizeof Path) return;
    std::strcpy(Path, path);
}

const char* SettingsPath() { return Path; }

bool DecodeSettings(const uint8_t* bytes, size_t size, SettingsValues* values) {
    if (size < static_cast<size_t>(SettingsFileSize) || GetWord(bytes) != MagicV ||
        GetWord(bytes + 4) != MagicA)
        return false;
    values->Sound = GetWord(bytes + 8);
    values->HighScore = GetWord(bytes + 12);
    for (int32_t i = 0; i < 4; ++i) values->KeyRepeat[i] = GetWord(bytes + 16 + 4 * i);
    values->Ninth = GetWord(bytes + 32);
    return true;
}

void EncodeSettings(const SettingsValues& values, uint8_t* bytes) {
    PutWord(bytes, MagicV);
    PutWord(bytes + 4, MagicA);
    PutWord(bytes + 8, values.Sound);
    PutWord(bytes + 12, values.HighScore);
    for (int32_t i = 0; i < 4; ++i) PutWord(bytes + 16 + 4 * i, values.KeyRepeat[i]);
    PutWord(bytes + 32, values.Ninth);
}

void LoadSettings() {
    // Read-only: a file the player made read-only still gives its values.
    const int fd = open(Path, O_RDONLY | O_CLOEXEC);
    struct stat info {};
    if (fd < 0 || fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        // No file (or something that is not a file in its place).
        if (fd >= 0) close(fd);
        SetDefaults();
        return;
    }
    uint8_t bytes[SettingsFileSize];
    const ssize_t n = ReadAll(fd, bytes, sizeof bytes);
    close(fd);
    // A short file is treated like one whose magic does not match: the
    // values keep what they held before.
    SettingsValues v{};
    if (n < 0 || !DecodeSettings(bytes, static_cast<size_t>(n), &v)) return;
    ButtonTable[BUTTON_SOUND].state = v.Sound;
    HighScore = v.HighScore;
    KeyRepeat[REPEAT_ROTATION] = v.KeyRepeat[0];
    KeyRepeat[REPEAT_LEFT] = v.KeyRepeat[1];
    KeyRepeat[REPEAT_DROP] = v.KeyRepeat[2];
    KeyRepeat[REPEAT_RIGHT] = v.KeyRepeat[3];
    ButtonTable[BUTTON_NINTH].state = v.Ninth;
}

bool SaveSettings() {
    const SettingsValues v{ButtonTable[BUTTON_SOUND].state,
                           HighScore,
                           {KeyRepeat[REPEAT_ROTATION], KeyRepeat[REPEAT_LEFT], KeyRepeat[REPEAT_DROP],
                            KeyRepeat[REPEAT_RIGHT]},
                           ButtonTable[BUTTON_NINTH].state};
    uint8_t bytes[SettingsFileSize];
    EncodeSettings(v, bytes);

    // The new file is written whole beside the old one and then renamed over
    // it: a crash or a full disk mid-save leaves the old file as it was. The
    // new file always has the same name, so a save cut short leaves at most
    // one stray file, which the next save reuses.
    char temp[sizeof Path + 8];
    if (std::snprintf(temp, sizeof temp, "%s.new", Path) >= static_cast<int>(sizeof temp)) return false;
    const int fd = open(temp, O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    bool ok = WriteAll(fd, bytes, sizeof bytes) && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    ok = ok && rename(temp, Path) == 0;
    if (!ok) unlink(temp);
    return ok;
}
