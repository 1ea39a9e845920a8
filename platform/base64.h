// SPDX-License-Identifier: GPL-3.0-or-later
// Bytes as text safe in a link and in a chat message, and back: base64url,
// the letters, digits, '-' and '_', without padding.
#pragma once

#include <cstddef>
#include <cstdint>

// The text for `size` bytes needs this many characters (its ending zero not
// counted).
constexpr size_t Base64Length(size_t size) { return (size * 4 + 2) / 3; }

// Writes the text and its ending zero; false (nothing of use written) when
// `capacity` cannot hold them.
bool Base64Encode(const uint8_t* bytes, size_t size, char* text, size_t capacity);

// The bytes of `length` characters of text; -1 when the text holds a
// character that is no base64url one, has a length no text of bytes has,
// or needs more than `capacity` bytes.
int32_t Base64Decode(const char* text, size_t length, uint8_t* bytes, size_t capacity);
