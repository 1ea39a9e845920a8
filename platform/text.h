// SPDX-License-Identifier: GPL-3.0-or-later
// Copying text into a fixed buffer: the one way the game does it.
#pragma once

#include <cstddef>
#include <cstring>

// Copies `source` into the `size` bytes at `dest`, always ending it with a
// zero. Returns false, and leaves `dest` as the longest prefix that fits,
// when the whole text does not fit; a null source copies as "".
inline bool CopyText(char* dest, size_t size, const char* source) {
    if (size == 0) return false;
    if (source == nullptr) source = "";
    const size_t length = std::strlen(source);
    const size_t copied = length < size ? length : size - 1;
    std::memcpy(dest, source, copied);
    dest[copied] = 0;
    return copied == length;
}

template <size_t N> inline bool CopyText(char (&dest)[N], const char* source) {
    return CopyText(dest, N, source);
}
