// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/png.h"

#include "platform/crc32.h"

#include <cstddef>
#include <cstdio>

namespace {

// ---- checksums ----

uint32_t Adler32(const std::vector<uint8_t>& data) {
    uint32_t a = 1, b = 0;
    for (uint8_t byte : data) {
        a = (a + byte) % 65521u;
        b = (b + a) % 65521u;
    }
    return (b << 16) | a;
}

// ---- deflate, fixed Huffman codes ----

struct BitWriter {
    std::vector<uint8_t>* Out;
    uint32_t Buffer = 0;
    int32_t Count = 0;
};

void PutBits(BitWriter& w, uint32_t value, int32_t bits) {
    w.Buffer |= value << w.Count;
    w.Count += bits;
    while (w.Count >= 8) {
        w.Out->push_back(static_cast<uint8_t>(w.Buffer & 0xFF));
        w.Buffer >>= 8;
        w.Count -= 8;
    }
}

void FlushBits(BitWriter& w) {
    if (w.Count > 0) w.Out->push_back(static_cast<uint8_t>(w.Buffer & 0xFF));
    w.Buffer = 0;
    w.Count = 0;
}

// Huffman codes go most significant bit first into the LSB-first stream.
void PutCode(BitWriter& w, uint32_t code, int32_t bits) {
    uint32_t reversed = 0;
    for (int32_t i = 0; i < bits; i++) reversed |= ((code >> i) & 1u) << (bits - 1 - i);
    PutBits(w, reversed, bits);
}

void PutLiteralOrLength(BitWriter& w, int32_t symbol) {
    if (symbol < 144)
        PutCode(w, 0x30u + static_cast<uint32_t>(symbol), 8);
    else if (symbol < 256)
        PutCode(w, 0x190u + static_cast<uint32_t>(symbol - 144), 9);
    else if (symbol < 280)
        PutCode(w, static_cast<uint32_t>(symbol - 256), 7);
    else
        PutCode(w, 0xC0u + static_cast<uint32_t>(symbol - 280), 8);
}

constexpr int32_t LengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                    31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr int32_t LengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                     2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr int32_t DistanceBase[30] = {
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr int32_t DistanceExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                       6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

void PutMatch(BitWriter& w, int32_t length, int32_t distance) {
    int32_t lc = 28;
    while (LengthBase[lc] > length) lc--;
    PutLiteralOrLength(w, 257 + lc);
    PutBits(w, static_cast<uint32_t>(length - LengthBase[lc]), LengthExtra[lc]);
    int32_t dc = 29;
    while (DistanceBase[dc] > distance) dc--;
    PutCode(w, static_cast<uint32_t>(dc), 5);
    PutBits(w, static_cast<uint32_t>(distance - DistanceBase[dc]), DistanceExtra[dc]);
}

constexpr int32_t WindowSize = 32768;
constexpr int32_t MinMatch = 3;
constexpr int32_t MaxMatch = 258;
constexpr int32_t HashBits = 15;
constexpr int32_t MaxChain = 96;

uint32_t Hash3(const uint8_t* p) {
    uint32_t v = static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                 (static_cast<uint32_t>(p[2]) << 16);
    return (v * 2654435761u) >> (32 - HashBits);
}

// One final block with the fixed codes; greedy matching over hash chains.
void Deflate(const std::vector<uint8_t>& data, std::vector<uint8_t>& out) {
    BitWriter w{&out};
    PutBits(w, 1, 1); // last block
    PutBits(w, 1, 2); // fixed Huffman codes
    const int32_t n = static_cast<int32_t>(data.size());
    std::vector<int32_t> head(size_t{1} << HashBits, -1);
    std::vector<int32_t> prev(data.size(), -1);
    auto insert = [&](int32_t pos) {
        if (pos + MinMatch > n) return;
        uint32_t h = Hash3(&data[static_cast<size_t>(pos)]);
        prev[static_cast<size_t>(pos)] = head[h];
        head[h] = pos;
    };
    int32_t pos = 0;
    while (pos < n) {
        int32_t bestLength = 0, bestDistance = 0;
        if (pos + MinMatch <= n) {
            int32_t limit = n - pos < MaxMatch ? n - pos : MaxMatch;
            int32_t candidate = head[Hash3(&data[static_cast<size_t>(pos)])];
            for (int32_t chain = 0; candidate >= 0 && chain < MaxChain; chain++) {
                if (pos - candidate > WindowSize) break;
                int32_t length = 0;
                while (length < limit && data[static_cast<size_t>(candidate + length)] ==
                                             data[static_cast<size_t>(pos + length)])
                    length++;
                if (length > bestLength) {
                    bestLength = length;
                    bestDistance = pos - candidate;
                    if (length == limit) break;
                }
                candidate = prev[static_cast<size_t>(candidate)];
            }
        }
        if (bestLength >= MinMatch) {
            PutMatch(w, bestLength, bestDistance);
            for (int32_t i = 0; i < bestLength; i++) insert(pos + i);
            pos += bestLength;
        } else {
            PutLiteralOrLength(w, data[static_cast<size_t>(pos)]);
            insert(pos);
            pos++;
        }
    }
    PutLiteralOrLength(w, 256); // end of block
    FlushBits(w);
}

// ---- chunks ----

void PutBigEndian(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v >> 24));
    out.push_back(static_cast<uint8_t>(v >> 16));
    out.push_back(static_cast<uint8_t>(v >> 8));
    out.push_back(static_cast<uint8_t>(v));
}

void PutChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& body) {
    PutBigEndian(out, static_cast<uint32_t>(body.size()));
    size_t start = out.size();
    for (int i = 0; i < 4; i++) out.push_back(static_cast<uint8_t>(type[i]));
    out.insert(out.end(), body.begin(), body.end());
    PutBigEndian(out, Crc32(&out[start], out.size() - start));
}

// RGB, or RGBA when `alpha` (then the top byte of each pixel is its alpha).
std::vector<uint8_t> Encode(const uint32_t* pixels, int32_t width, int32_t height,
                            int32_t pitchPixels, bool alpha) {
    std::vector<uint8_t> png;
    if (pixels == nullptr || width <= 0 || height <= 0 || pitchPixels < width) return png;
    if (static_cast<int64_t>(width) * height > (int64_t{1} << 28)) return png;

    // Scanlines, each behind filter byte 0 (none).
    const size_t bytesPerPixel = alpha ? 4 : 3;
    std::vector<uint8_t> raw;
    raw.reserve(static_cast<size_t>(height) * (static_cast<size_t>(width) * bytesPerPixel + 1));
    for (int32_t y = 0; y < height; y++) {
        raw.push_back(0);
        const uint32_t* row = pixels + static_cast<ptrdiff_t>(y) * pitchPixels;
        for (int32_t x = 0; x < width; x++) {
            raw.push_back(static_cast<uint8_t>(row[x] >> 16));
            raw.push_back(static_cast<uint8_t>(row[x] >> 8));
            raw.push_back(static_cast<uint8_t>(row[x]));
            if (alpha) raw.push_back(static_cast<uint8_t>(row[x] >> 24));
        }
    }

    std::vector<uint8_t> zlib = {0x78, 0x01};
    Deflate(raw, zlib);
    PutBigEndian(zlib, Adler32(raw));

    const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    png.assign(signature, signature + 8);
    std::vector<uint8_t> header;
    PutBigEndian(header, static_cast<uint32_t>(width));
    PutBigEndian(header, static_cast<uint32_t>(height));
    header.push_back(8);             // bits per sample
    header.push_back(alpha ? 6 : 2); // RGBA or RGB
    header.push_back(0);             // deflate
    header.push_back(0);             // adaptive filtering
    header.push_back(0);             // not interlaced
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", zlib);
    PutChunk(png, "IEND", {});
    return png;
}

} // namespace

std::vector<uint8_t> EncodePng(const uint32_t* pixels, int32_t width, int32_t height,
                               int32_t pitchPixels) {
    return Encode(pixels, width, height, pitchPixels, false);
}

std::vector<uint8_t> EncodePngAlpha(const uint32_t* pixels, int32_t width, int32_t height,
                                    int32_t pitchPixels) {
    return Encode(pixels, width, height, pitchPixels, true);
}

bool WritePng(const char* path, const uint32_t* pixels, int32_t width, int32_t height,
              int32_t pitchPixels) {
    std::vector<uint8_t> png = EncodePng(pixels, width, height, pitchPixels);
    if (png.empty()) return false;
    std::FILE* f = std::fopen(path, "wb");
    if (f == nullptr) return false;
    bool ok = std::fwrite(png.data(), 1, png.size(), f) == png.size();
    ok = std::fclose(f) == 0 && ok;
    return ok;
}
