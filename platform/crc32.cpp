// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/crc32.h"

namespace {
struct CrcTable {
    uint32_t entries[256];
};

constexpr CrcTable MakeTable() {
    CrcTable t{};
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int32_t k = 0; k < 8; ++k) c = (c & 1u) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        t.entries[n] = c;
    }
    return t;
}
constexpr CrcTable Table = MakeTable();
} // namespace

uint32_t Crc32(const uint8_t* bytes, size_t size) {
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) crc = Table.entries[(crc ^ bytes[i]) & 0xFFu] ^ (crc >> 8);
    return ~crc;
}
