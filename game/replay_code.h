// SPDX-License-Identifier: GPL-3.0-or-later
// The pieces a replay's compact form is written with: a stream of bits,
// numbers of any size in few bits or bytes, and a saved game with its runs
// of zeros taken out. Nothing here knows what the numbers mean.
#pragma once

#include <cstddef>
#include <cstdint>

// Bits written most significant first into `bytes` (capacity `size`);
// `full` once one did not fit, after which nothing more is written.
struct BitWriter {
    uint8_t* bytes;
    size_t size;
    size_t bits; // written so far
    bool full;
};
void PutBits(BitWriter* w, uint32_t value, int32_t count);
// An exponential-Golomb code of order 2: 3 bits for 0 to 3, 5 bits for 4 to
// 11, and two more for each doubling.
void PutGap(BitWriter* w, uint32_t value);

struct BitReader {
    const uint8_t* bytes;
    size_t bits; // how many there are
    size_t at;   // the next to read
    bool ok;     // false once a read ran past the end
};
uint32_t GetBits(BitReader* r, int32_t count);
uint32_t GetGap(BitReader* r);
// Whether anything but the zeros of a last byte's padding is left.
bool BitsLeft(const BitReader& r);

// Unsigned numbers in 7-bit groups, the lowest first (LEB128); at most 5
// bytes. The reader clears `ok` at a number that runs past the end or
// past 32 bits.
size_t PutVarint(uint8_t* at, uint32_t value);
uint32_t GetVarint(const uint8_t* bytes, size_t size, size_t* at, bool* ok);

// A saved game's payload of `size` bytes as runs: a count of zeros, a count
// of bytes as they are, those bytes, and again, to the end. Each count is a
// varint. Writes to `out` (capacity `room`); returns its length, or 0 when
// it did not fit.
size_t PackZeros(const uint8_t* bytes, size_t size, uint8_t* out, size_t room);
// The payload back, from `in` (at most `available` bytes); returns how
// many bytes of `in` it took, or 0 when they are no packed payload of
// exactly `size` bytes.
size_t UnpackZeros(const uint8_t* in, size_t available, uint8_t* bytes, size_t size);
