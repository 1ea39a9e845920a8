// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/base64.h"

namespace {
constexpr char Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";

int32_t ValueOf(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '-') return 62;
    if (c == '_') return 63;
    return -1;
}
} // namespace

bool Base64Encode(const uint8_t* bytes, size_t size, char* text, size_t capacity) {
    if (capacity < Base64Length(size) + 1) return false;
    size_t out = 0;
    for (size_t i = 0; i < size; i += 3) {
        const uint32_t b0 = bytes[i];
        const uint32_t b1 = i + 1 < size ? bytes[i + 1] : 0;
        const uint32_t b2 = i + 2 < size ? bytes[i + 2] : 0;
        const uint32_t group = b0 << 16 | b1 << 8 | b2;
        text[out++] = Alphabet[group >> 18 & 63];
        text[out++] = Alphabet[group >> 12 & 63];
        if (i + 1 < size) text[out++] = Alphabet[group >> 6 & 63];
        if (i + 2 < size) text[out++] = Alphabet[group & 63];
    }
    text[out] = 0;
    return true;
}

int32_t Base64Decode(const char* text, size_t length, uint8_t* bytes, size_t capacity) {
    // A last group of one character holds no whole byte.
    if (length % 4 == 1) return -1;
    const size_t size = length / 4 * 3 + (length % 4 == 0 ? 0 : length % 4 - 1);
    if (size > capacity || size > 0x7FFFFFFF) return -1;
    size_t out = 0;
    uint32_t group = 0;
    int32_t bits = 0;
    for (size_t i = 0; i < length; ++i) {
        const int32_t v = ValueOf(text[i]);
        if (v < 0) return -1;
        group = group << 6 | static_cast<uint32_t>(v);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            bytes[out++] = static_cast<uint8_t>(group >> bits);
        }
    }
    // The bits left over must be zero: one text for each run of bytes.
    if ((group & ((1u << bits) - 1)) != 0) return -1;
    return static_cast<int32_t>(out);
}
