// SPDX-License-Identifier: GPL-3.0-or-later
// The accelerator table: Alt+F4 and Alt+/ as the window's commands.
#include "shell/app.h"

#include "platform/bytes.h"
#include "platform/resources.h"

namespace {
constexpr uint16_t AccelVirtualKey = 0x01;
constexpr uint16_t AccelAlt = 0x10;
constexpr uint16_t AccelLast = 0x80;
constexpr int32_t MaxAccelerators = 16;

struct Accelerator {
    uint16_t flags, key, command;
};

// The accelerator table, read from its resource once.
struct AcceleratorTable {
    bool loaded;
    int32_t count;
    Accelerator entries[MaxAccelerators];
};
AcceleratorTable Accelerators;
} // namespace

void LoadAccelerators() {
    Accelerators = AcceleratorTable{};
    Accelerators.loaded = true;
    const ResourceBytes table = FindResource(RES_ACCELERATOR, ACCELERATORS_GAME);
    // Entries of eight bytes: flags, key, command, padding; the last is flagged.
    for (size_t at = 0; at + 8 <= table.Size && Accelerators.count < MaxAccelerators; at += 8) {
        const uint8_t* e = table.Data + at;
        const uint16_t flags = ReadLe16(e);
        Accelerators.entries[Accelerators.count++] =
            Accelerator{flags, ReadLe16(e + 2), ReadLe16(e + 4)};
        if (flags & AccelLast) break;
    }
}

bool TranslateAccelerator(const Event& e) {
    const bool virtualKey = e.kind == EVENT_KEY_DOWN;
    const bool character = e.kind == EVENT_CHARACTER;
    if (!virtualKey && !character) return false;
    // A driver that skips AppMain (the headless runner) has it read here.
    if (!Accelerators.loaded) LoadAccelerators();
    for (int32_t i = 0; i < Accelerators.count; ++i) {
        const Accelerator& a = Accelerators.entries[i];
        const bool wantsVirtualKey = (a.flags & AccelVirtualKey) != 0;
        if (wantsVirtualKey == virtualKey && a.key == e.key &&
            ((a.flags & AccelAlt) != 0) == e.alt) {
            WindowProc(MainWindow, CommandEvent(a.command));
            return true;
        }
    }
    return false;
}
