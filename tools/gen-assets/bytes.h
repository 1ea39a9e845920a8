// SPDX-License-Identifier: GPL-3.0-or-later
// Little-endian byte buffers, as the resource formats lay them out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

using Bytes = std::vector<uint8_t>;

void PutU8(Bytes& out, uint32_t v);
void PutU16(Bytes& out, uint32_t v);
void PutU32(Bytes& out, uint32_t v);
void PutI16(Bytes& out, int32_t v);
void PutI32(Bytes& out, int32_t v);
void PutTag(Bytes& out, const char* fourCharacters);
void PadTo(Bytes& out, size_t multiple);

// Writes the bytes to path; false on any failure.
bool WriteBytes(const char* path, const Bytes& bytes);
