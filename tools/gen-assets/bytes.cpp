// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/gen-assets/bytes.h"

#include <cstdio>

void PutU8(Bytes& out, uint32_t v) { out.push_back(static_cast<uint8_t>(v)); }

void PutU16(Bytes& out, uint32_t v) {
    PutU8(out, v);
    PutU8(out, v >> 8);
}

void PutU32(Bytes& out, uint32_t v) {
    PutU16(out, v);
    PutU16(out, v >> 16);
}

void PutI16(Bytes& out, int32_t v) { PutU16(out, static_cast<uint32_t>(v)); }
void PutI32(Bytes& out, int32_t v) { PutU32(out, static_cast<uint32_t>(v)); }

void PutTag(Bytes& out, const char* fourCharacters) {
    for (int i = 0; i < 4; i++) PutU8(out, static_cast<uint8_t>(fourCharacters[i]));
}

void PadTo(Bytes& out, size_t multiple) {
    while (out.size() % multiple != 0) out.push_back(0);
}

bool WriteBytes(const char* path, const Bytes& bytes) {
    std::FILE* f = std::fopen(path, "wb");
    if (f == nullptr) return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = std::fclose(f) == 0 && ok;
    return ok;
}
