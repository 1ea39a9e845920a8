// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/replay_code.h"

#include <cstring>

void PutBits(BitWriter* w, uint32_t value, int32_t count) {
    if (w->full || w->bits + static_cast<size_t>(count) > w->size * 8) {
        w->full = true;
        return;
    }
    for (int32_t i = count - 1; i >= 0; --i) {
        const size_t byte = w->bits / 8;
        const auto mask = static_cast<uint8_t>(0x80u >> (w->bits % 8));
        if ((value >> i & 1u) != 0)
            w->bytes[byte] = static_cast<uint8_t>(w->bytes[byte] | mask);
        else
            w->bytes[byte] = static_cast<uint8_t>(w->bytes[byte] & ~mask);
        ++w->bits;
    }
}

void PutGap(BitWriter* w, uint32_t value) {
    // (value >> 2) + 1 in Elias gamma (zeros, then the number), then the
    // two low bits.
    const uint64_t high = (uint64_t{value} >> 2) + 1;
    int32_t length = 0;
    while ((high >> (length + 1)) != 0) ++length;
    PutBits(w, 0, length);
    for (int32_t i = length; i >= 0; --i) PutBits(w, static_cast<uint32_t>(high >> i & 1u), 1);
    PutBits(w, value & 3u, 2);
}

uint32_t GetBits(BitReader* r, int32_t count) {
    uint32_t value = 0;
    for (int32_t i = 0; i < count; ++i) {
        if (r->at >= r->bits) {
            r->ok = false;
            return 0;
        }
        const uint32_t bit = r->bytes[r->at / 8] >> (7 - r->at % 8) & 1u;
        ++r->at;
        value = value << 1 | bit;
    }
    return value;
}

uint32_t GetGap(BitReader* r) {
    int32_t zeros = 0;
    while (GetBits(r, 1) == 0) {
        if (!r->ok || ++zeros > 31) {
            r->ok = false;
            return 0;
        }
    }
    uint64_t high = 1;
    for (int32_t i = 0; i < zeros; ++i) high = high << 1 | GetBits(r, 1);
    const uint64_t value = (high - 1) << 2 | GetBits(r, 2);
    if (!r->ok || value > 0xFFFFFFFFu) {
        r->ok = false;
        return 0;
    }
    return static_cast<uint32_t>(value);
}

bool BitsLeft(const BitReader& r) {
    for (size_t at = r.at; at < r.bits; ++at)
        if ((r.bytes[at / 8] >> (7 - at % 8) & 1u) != 0) return true;
    return false;
}

size_t PutVarint(uint8_t* at, uint32_t value) {
    size_t n = 0;
    do {
        const auto group = static_cast<uint8_t>(value & 0x7Fu);
        value >>= 7;
        at[n++] = static_cast<uint8_t>(group | (value != 0 ? 0x80u : 0u));
    } while (value != 0);
    return n;
}

uint32_t GetVarint(const uint8_t* bytes, size_t size, size_t* at, bool* ok) {
    uint64_t value = 0;
    for (int32_t shift = 0; shift < 35; shift += 7) {
        if (*at >= size) break;
        const uint8_t b = bytes[(*at)++];
        value |= uint64_t{b & 0x7Fu} << shift;
        if ((b & 0x80u) == 0) {
            if (value > 0xFFFFFFFFu) break;
            return static_cast<uint32_t>(value);
        }
    }
    *ok = false;
    return 0;
}

size_t PackZeros(const uint8_t* bytes, size_t size, uint8_t* out, size_t room) {
    size_t n = 0, i = 0;
    while (i < size) {
        size_t zeros = 0;
        while (i + zeros < size && bytes[i + zeros] == 0) ++zeros;
        i += zeros;
        // The bytes as they are run up to the next pair of zeros: a lone
        // zero costs less kept among them than as a run of its own.
        size_t literal = 0;
        while (
            i + literal < size &&
            !(bytes[i + literal] == 0 && i + literal + 1 < size && bytes[i + literal + 1] == 0) &&
            !(bytes[i + literal] == 0 && i + literal + 1 == size))
            ++literal;
        if (n + 10 + literal > room) return 0;
        n += PutVarint(out + n, static_cast<uint32_t>(zeros));
        n += PutVarint(out + n, static_cast<uint32_t>(literal));
        std::memcpy(out + n, bytes + i, literal);
        n += literal;
        i += literal;
    }
    return n;
}

size_t UnpackZeros(const uint8_t* in, size_t available, uint8_t* bytes, size_t size) {
    size_t at = 0, filled = 0;
    bool ok = true;
    while (filled < size) {
        const uint32_t zeros = GetVarint(in, available, &at, &ok);
        const uint32_t literal = GetVarint(in, available, &at, &ok);
        if (!ok || zeros > size - filled || literal > size - filled - zeros ||
            literal > available - at || (zeros == 0 && literal == 0))
            return 0;
        std::memset(bytes + filled, 0, zeros);
        filled += zeros;
        std::memcpy(bytes + filled, in + at, literal);
        filled += literal;
        at += literal;
    }
    return at;
}
