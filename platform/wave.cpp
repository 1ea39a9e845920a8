// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/wave.h"

#include "platform/bytes.h"
#include "platform/resources.h"

#include <cstring>

bool FindWavePcm(const uint8_t* data, size_t size, WavePcm* pcm) {
    if (data == nullptr || size < 12 || std::memcmp(data, "RIFF", 4) != 0 ||
        std::memcmp(data + 8, "WAVE", 4) != 0)
        return false;
    size_t end = static_cast<size_t>(ReadLe32(data + 4)) + 8;
    if (end > size) end = size;
    bool haveFormat = false;
    WavePcm found{};
    size_t at = 12;
    while (at + 8 <= end) {
        const uint8_t* chunk = data + at;
        const size_t length = ReadLe32(chunk + 4);
        const size_t body = at + 8;
        const size_t available = end - body;
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (length < 16 || length > available) return false;
            if (ReadLe16(data + body) != 1) return false; // plain PCM only
            found.channels = ReadLe16(data + body + 2);
            found.rate = static_cast<int32_t>(ReadLe32(data + body + 4));
            found.bits = ReadLe16(data + body + 14);
            haveFormat = true;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (!haveFormat) return false;
            // A file cut short plays what it has.
            found.data = data + body;
            found.size = length < available ? length : available;
            *pcm = found;
            return true;
        }
        if (length > available) break;
        at = body + length + (length & 1); // chunks keep an even size
    }
    return false;
}

bool FindGameWave(const char* name, WavePcm* pcm) {
    const ResourceBytes wave = FindNamedResource(RES_WAVE, name);
    WavePcm found{};
    if (!FindWavePcm(wave.Data, wave.Size, &found) || found.size == 0) return false;
    if (found.channels != 1 || found.bits != 8 || found.rate != GameWaveRate) return false;
    *pcm = found;
    return true;
}
