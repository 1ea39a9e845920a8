// SPDX-License-Identifier: GPL-3.0-or-later
// Little-endian numbers in byte buffers, as every file format of the game
// lays them out: resources, the settings file, icons, waves.
#pragma once

#include <cstddef>
#include <cstdint>

inline uint16_t ReadLe16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

inline uint32_t ReadLe32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

inline void WriteLe32(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
    p[3] = static_cast<uint8_t>(v >> 24);
}

// A reader that never reads past its end: a read beyond it gives 0 and
// clears `ok` for good.
struct ByteReader {
    const uint8_t* data;
    size_t size;
    size_t pos;
    bool ok;

    uint16_t Word() {
        if (!ok || pos > size || size - pos < 2) {
            ok = false;
            return 0;
        }
        const uint16_t v = ReadLe16(data + pos);
        pos += 2;
        return v;
    }
    uint32_t Dword() {
        const uint32_t lo = Word();
        return lo | static_cast<uint32_t>(Word()) << 16;
    }
    int32_t Short() { return static_cast<int16_t>(Word()); }
    void Skip(size_t n) {
        if (!ok || pos > size || size - pos < n) {
            ok = false;
            return;
        }
        pos += n;
    }
    void AlignDword() { pos = (pos + 3) & ~static_cast<size_t>(3); }
};
