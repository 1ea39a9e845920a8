// SPDX-License-Identifier: GPL-3.0-or-later
// The seven values kept between runs: the sound switch, the high score, the
// four key-repeat choices and the ninth button's state, in one 36-byte file of
// nine little-endian 32-bit words (two magic words, 86 and 65, then the
// values).
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int32_t SettingsFileSize = 36;
constexpr const char* SettingsFileName = "vantle.dat";

// Where the file lives; "vantle.dat" in the current folder until set. An
// empty path (or one too long to keep) means there is no file: the defaults
// at start-up, nothing saved at exit.
void SetSettingsPath(const char* path);
const char* SettingsPath();

// The seven values as the file holds them, in its order.
struct SettingsValues {
    int32_t Sound; // button 1's state
    int32_t HighScore;
    int32_t KeyRepeat[4];
    int32_t Hidden; // the hidden button's state
};

// The values in a file's first 36 bytes; false, with `values` untouched, when
// there are fewer or the magic words do not match.
bool DecodeSettings(const uint8_t* bytes, size_t size, SettingsValues* values);
// The 36 bytes of a file holding `values`.
void EncodeSettings(const SettingsValues& values, uint8_t* bytes);

// Reads the file once at start-up. No file, or something other than a
// regular file in its place (never waited on): the defaults (sound on, high
// score 0, only the drop repeats, ninth button on). A file that does not start
// with the magic words, or is shorter than 36 bytes: nothing is taken.
void LoadSettings();

// Writes the file at exit. The new file is written beside the old one and
// then renamed over it, so the file on disk is always one of the two, whole;
// a symbolic link is followed and the file it names is replaced. The high
// score saved is the higher of the game's and the one on disk, which another
// copy of the game may have raised meanwhile. A file we may not write, and
// anything that is not a regular file, is left as it is and nothing is saved;
// that, or a save that fails, is said in one line on standard error. The
// file is written off the tick's path (PlatformFileReplace). Returns false
// when nothing was saved: there is no file, it may not be written, or (where
// files are written at once) the write failed.
bool SaveSettings();
