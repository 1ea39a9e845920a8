// SPDX-License-Identifier: GPL-3.0-or-later
// The PNG writer, checked by decoders that are not ours: Python's zlib
// (every chunk's CRC, the Adler-32 and the inflated scanlines) and
// ImageMagick's convert, for RGB and RGBA pictures. Each skips itself where its decoder is missing.
#include "tools/png.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

struct Picture {
    int32_t Width, Height, Pitch;
    std::vector<uint32_t> Pixels;
};

Picture Make(int32_t w, int32_t h, int32_t pitch) {
    return {w, h, pitch,
            std::vector<uint32_t>(static_cast<size_t>(pitch) * static_cast<size_t>(h), 0)};
}

uint32_t Xorshift(uint32_t& s) {
    s ^= s << 13;
    s ^= s >> 17;
    s ^= s << 5;
    return s;
}

// The pixels as R, G, B (and A) bytes, row after row, pitch dropped.
std::vector<uint8_t> Rgb(const Picture& p, bool alpha = false) {
    std::vector<uint8_t> out;
    for (int32_t y = 0; y < p.Height; y++)
        for (int32_t x = 0; x < p.Width; x++) {
            uint32_t c = p.Pixels[static_cast<size_t>(y * p.Pitch + x)];
            out.push_back(static_cast<uint8_t>(c >> 16));
            out.push_back(static_cast<uint8_t>(c >> 8));
            out.push_back(static_cast<uint8_t>(c));
            if (alpha) out.push_back(static_cast<uint8_t>(c >> 24));
        }
    return out;
}

std::vector<uint8_t> ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in),
                                std::istreambuf_iterator<char>());
}

std::string Temp(const std::string& name) {
    return (std::filesystem::temp_directory_path() /
            ("vantle-png-" + std::to_string(::getpid()) + "-" + name))
        .string();
}

bool Have(const char* tool) {
    std::string command = std::string("command -v ") + tool + " > /dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

// ImageMagick itself, not merely a program of that name: a machine may have
// a stand-in convert that reads a PNG into a PPM and does nothing else.
bool HaveImageMagick() {
    return std::system("convert -version 2>/dev/null | grep -q ImageMagick") == 0;
}

// Python: checks the signature, every CRC, IHDR, inflates the IDAT data
// (zlib checks the Adler-32), undoes the filters and writes raw RGB or RGBA.
const char* const PythonDecoder = R"(
import struct, sys, zlib
data = open(sys.argv[1], 'rb').read()
assert data[:8] == b'\x89PNG\r\n\x1a\n', 'signature'
at, idat, names = 8, b'', []
while at < len(data):
    size, name = struct.unpack('>I4s', data[at:at + 8])
    body = data[at + 8:at + 8 + size]
    crc, = struct.unpack('>I', data[at + 8 + size:at + 12 + size])
    assert zlib.crc32(name + body) == crc, 'crc of ' + name.decode()
    names.append(name)
    if name == b'IHDR':
        w, h, depth, kind, comp, filt, inter = struct.unpack('>IIBBBBB', body)
        assert depth == 8 and kind in (2, 6) and (comp, filt, inter) == (0, 0, 0), 'header'
        bpp = 3 if kind == 2 else 4
    if name == b'IDAT':
        idat += body
    at += 12 + size
assert names[0] == b'IHDR' and names[-1] == b'IEND', 'chunk order'
raw = zlib.decompress(idat)
stride = bpp * w
assert len(raw) == h * (stride + 1), 'scanline bytes'
out, prior = bytearray(), bytearray(stride)
for y in range(h):
    kind, row = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
    for i in range(stride):
        a = row[i - bpp] if i >= bpp else 0
        b = prior[i]
        c = prior[i - bpp] if i >= bpp else 0
        if kind == 1: row[i] = (row[i] + a) & 255
        elif kind == 2: row[i] = (row[i] + b) & 255
        elif kind == 3: row[i] = (row[i] + (a + b) // 2) & 255
        elif kind == 4:
            p = a + b - c
            pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
            row[i] = (row[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
    out += row
    prior = row
open(sys.argv[2], 'wb').write(bytes(out))
)";

std::vector<uint8_t> DecodeWithPython(const std::string& png) {
    std::string script = Temp("decode.py"), raw = png + ".rgb";
    std::ofstream(script) << PythonDecoder;
    std::string command = "python3 " + script + " " + png + " " + raw;
    int status = std::system(command.c_str());
    std::vector<uint8_t> out = status == 0 ? ReadAll(raw) : std::vector<uint8_t>{};
    std::remove(script.c_str());
    std::remove(raw.c_str());
    return out;
}

// ImageMagick: its raw RGBA output.
std::vector<uint8_t> DecodeAlphaWithConvert(const std::string& png) {
    std::string raw = png + ".rgba";
    std::string command = "convert " + png + " -depth 8 rgba:- > " + raw + " 2>/dev/null";
    int status = std::system(command.c_str());
    std::vector<uint8_t> all = status == 0 ? ReadAll(raw) : std::vector<uint8_t>{};
    std::remove(raw.c_str());
    return all;
}

// ImageMagick: its PPM output, header dropped.
std::vector<uint8_t> DecodeWithConvert(const std::string& png, int32_t w, int32_t h) {
    std::string ppm = png + ".ppm";
    std::string command = "convert " + png + " ppm:- > " + ppm + " 2>/dev/null";
    int status = std::system(command.c_str());
    std::vector<uint8_t> all = status == 0 ? ReadAll(ppm) : std::vector<uint8_t>{};
    std::remove(ppm.c_str());
    std::string header = "P6\n" + std::to_string(w) + " " + std::to_string(h) + "\n255\n";
    if (all.size() < header.size() ||
        std::string(all.begin(), all.begin() + static_cast<ptrdiff_t>(header.size())) != header)
        return {};
    return std::vector<uint8_t>(all.begin() + static_cast<ptrdiff_t>(header.size()), all.end());
}

// Pictures that exercise the encoder's paths: literals only, long runs,
// matches at every distance, a repeat just beyond the 32 KiB window, a
// pitch wider than the picture.
std::vector<std::pair<std::string, Picture>> Pictures() {
    std::vector<std::pair<std::string, Picture>> all;
    Picture one = Make(1, 1, 1);
    one.Pixels[0] = 0x123456;
    all.push_back({"single pixel", one});

    Picture noise = Make(67, 41, 67);
    uint32_t s = 12345;
    for (uint32_t& p : noise.Pixels) p = Xorshift(s) & 0xFFFFFF;
    all.push_back({"noise", noise});

    Picture flat = Make(300, 200, 300);
    for (uint32_t& p : flat.Pixels) p = 0xC0C0C0;
    for (int32_t x = 100; x < 140; x++) flat.Pixels[static_cast<size_t>(150 * 300 + x)] = 0xFF0000;
    all.push_back({"flat with a stripe", flat});

    Picture blocks = Make(129, 97, 129);
    for (int32_t y = 0; y < 97; y++)
        for (int32_t x = 0; x < 129; x++)
            blocks.Pixels[static_cast<size_t>(y * 129 + x)] =
                ((x / 7 + y / 5) % 3 == 0)
                    ? 0x00FF00
                    : static_cast<uint32_t>(x * 2) << 8 | static_cast<uint32_t>(y);
    all.push_back({"blocks and gradients", blocks});

    // Row 1 repeats row 0 exactly 11000 * 3 + 1 bytes later: too far back.
    Picture far = Make(11000, 3, 11000);
    for (int32_t x = 0; x < 11000; x++) {
        uint32_t v = Xorshift(s) & 0xFFFFFF;
        far.Pixels[static_cast<size_t>(x)] = v;
        far.Pixels[static_cast<size_t>(11000 + x)] = v;
        far.Pixels[static_cast<size_t>(22000 + x)] = x % 2 ? v : 0;
    }
    all.push_back({"repeat beyond the window", far});

    Picture pitched = Make(10, 6, 16);
    for (size_t i = 0; i < pitched.Pixels.size(); i++)
        pitched.Pixels[i] = (i % 16) < 10 ? static_cast<uint32_t>(i * 0x010203) : 0xFFFFFF;
    all.push_back({"pitch wider than the picture", pitched});
    return all;
}

TEST(PngWriter, PythonZlibDecodesEveryPictureExactly) {
    if (!Have("python3")) GTEST_SKIP() << "python3 is not installed";
    for (const auto& [name, picture] : Pictures()) {
        std::string path = Temp("python.png");
        ASSERT_TRUE(WritePng(path.c_str(), picture.Pixels.data(), picture.Width, picture.Height,
                             picture.Pitch))
            << name;
        std::vector<uint8_t> decoded = DecodeWithPython(path);
        EXPECT_TRUE(decoded == Rgb(picture)) << name;
        std::remove(path.c_str());
    }
}

TEST(PngWriter, ImageMagickReadsEveryPicture) {
    if (!Have("convert")) GTEST_SKIP() << "ImageMagick's convert is not installed";
    for (const auto& [name, picture] : Pictures()) {
        if (picture.Width * picture.Height > 100000) continue; // keep the run short
        std::string path = Temp("magick.png");
        ASSERT_TRUE(WritePng(path.c_str(), picture.Pixels.data(), picture.Width, picture.Height,
                             picture.Pitch))
            << name;
        EXPECT_TRUE(DecodeWithConvert(path, picture.Width, picture.Height) == Rgb(picture)) << name;
        std::remove(path.c_str());
    }
}

// Alpha: every picture again with a varying alpha byte, which must come
// out as written (a clear pixel keeps its colour bytes too).
TEST(PngWriter, AlphaComesOutAsWritten) {
    const bool python = Have("python3"), magick = HaveImageMagick();
    if (!python && !magick) GTEST_SKIP() << "neither python3 nor convert is installed";
    for (auto [name, picture] : Pictures()) {
        if (picture.Width * picture.Height > 100000) continue;
        for (size_t i = 0; i < picture.Pixels.size(); i++)
            picture.Pixels[i] |= static_cast<uint32_t>((i * 37) % 256) << 24;
        std::string path = Temp("alpha.png");
        std::vector<uint8_t> png =
            EncodePngAlpha(picture.Pixels.data(), picture.Width, picture.Height, picture.Pitch);
        ASSERT_FALSE(png.empty()) << name;
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(png.data()),
                   static_cast<std::streamsize>(png.size()));
        if (python) {
            EXPECT_TRUE(DecodeWithPython(path) == Rgb(picture, true)) << name;
        }
        if (magick) {
            EXPECT_TRUE(DecodeAlphaWithConvert(path) == Rgb(picture, true)) << name;
        }
        std::remove(path.c_str());
    }
    uint32_t pixel = 0;
    EXPECT_TRUE(EncodePngAlpha(&pixel, 2, 1, 1).empty());
}

TEST(PngWriter, LongRunsCompress) {
    Picture flat = Make(300, 200, 300);
    std::vector<uint8_t> png = EncodePng(flat.Pixels.data(), 300, 200, 300);
    // 180,000 bytes of scanlines in far less than a hundredth of that.
    EXPECT_GT(png.size(), 50u);
    EXPECT_LT(png.size(), 1500u);
}

TEST(PngWriter, NonsenseArgumentsWriteNothing) {
    uint32_t pixel = 0;
    EXPECT_TRUE(EncodePng(nullptr, 1, 1, 1).empty());
    EXPECT_TRUE(EncodePng(&pixel, 0, 1, 1).empty());
    EXPECT_TRUE(EncodePng(&pixel, 1, -1, 1).empty());
    EXPECT_TRUE(EncodePng(&pixel, 2, 1, 1).empty()); // pitch narrower than a row
    EXPECT_FALSE(WritePng("/nonexistent-folder/x.png", &pixel, 1, 1, 1));
}

} // namespace
