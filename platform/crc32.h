// SPDX-License-Identifier: GPL-3.0-or-later
// The CRC-32 that zip and PNG compute (polynomial 0xEDB88320), the one
// checksum of the game's own files: the saved game, the replays, the
// pictures the tools write.
#pragma once

#include <cstddef>
#include <cstdint>

uint32_t Crc32(const uint8_t* bytes, size_t size);
