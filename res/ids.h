// SPDX-License-Identifier: GPL-3.0-or-later
// Every resource built into the executable, by name: its kind, and the
// number the game finds it by. res/CMakeLists.txt lists the files under
// these names, and the asset generator writes the dialog's control numbers
// from here.
#pragma once

#include <cstdint>

enum ResourceKind : int32_t {
    RES_BITMAP = 1,
    RES_DIALOG,
    RES_STRING,      // the one string table
    RES_ACCELERATOR, // a table of the keys that send commands
    RES_ICON_GROUP,  // an icon at several sizes
    RES_WAVE,        // found by its name ("WAVE1".."WAVE3"), not by a number
};

// Resources found by number (a string table and the waves have none).
constexpr int32_t ACCELERATORS_GAME = 3;
constexpr int32_t ICON_GAME = 101;
constexpr int32_t DIALOG_OPTIONS = 103;
constexpr int32_t BITMAP_SPRITES = 112; // 144 x 198, 16 colours
constexpr int32_t BITMAP_TITLE = 113;
constexpr int32_t BITMAP_PLAY = 114;

// Strings of the table, by number.
constexpr int32_t STRING_TITLE = 1;

// The Options dialog's controls: its check boxes for rotation, left, drop
// and right are IDC_REPEAT_FIRST and the three after it; OK and CANCEL are
// the dialog's IDOK and IDCANCEL.
constexpr int32_t IDC_REPEAT_FIRST = 1002;
