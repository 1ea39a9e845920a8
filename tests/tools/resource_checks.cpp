// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/tools/resource_checks.h"

#include "render/sprites.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>

namespace {

uint32_t U16(const Bytes& b, size_t at) {
    if (at + 2 > b.size()) return 0;
    return static_cast<uint32_t>(b[at]) | (static_cast<uint32_t>(b[at + 1]) << 8);
}

uint32_t U32(const Bytes& b, size_t at) { return U16(b, at) | (U16(b, at + 2) << 16); }

int32_t I16(const Bytes& b, size_t at) { return static_cast<int16_t>(U16(b, at)); }

std::string Str(const char* format, long long a = 0, long long b = 0, long long c = 0) {
    char text[200];
    // The format uses as many of the three as it names; the rest are
    // passed and ignored, as printf allows.
    // cppcheck-suppress wrongPrintfScanfArgNum
    std::snprintf(text, sizeof text, format, a, b, c);
    return text;
}

bool Tag(const Bytes& b, size_t at, const char* tag) {
    for (size_t i = 0; i < 4; i++)
        if (at + i >= b.size() || b[at + i] != static_cast<uint8_t>(tag[i])) return false;
    return true;
}

} // namespace

Bytes ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string Describe(const Problems& problems) {
    std::string text;
    for (const std::string& p : problems) text += p + "\n";
    return text;
}

// ---- bitmaps ----

Bitmap ParseBitmap(const Bytes& file, Problems& problems) {
    Bitmap bmp;
    if (file.size() < 54 || file[0] != 'B' || file[1] != 'M') {
        problems.push_back("not a bitmap file");
        return bmp;
    }
    if (U32(file, 2) != file.size()) problems.push_back("file size field is wrong");
    if (U32(file, 14) != 40) problems.push_back("info header is not 40 bytes");
    int32_t width = static_cast<int32_t>(U32(file, 18));
    int32_t height = static_cast<int32_t>(U32(file, 22));
    uint32_t bits = U16(file, 28);
    if (height <= 0) problems.push_back("rows are not bottom-up");
    if (U16(file, 26) != 1) problems.push_back("planes is not 1");
    if (bits != 4 && bits != 8) {
        problems.push_back(Str("unexpected %lld bits per pixel", bits));
        return bmp;
    }
    if (U32(file, 30) != 0) problems.push_back("compressed");
    uint32_t colours = U32(file, 46);
    if (colours != (1u << bits)) problems.push_back(Str("colours used is %lld", colours));
    const uint32_t rowBytes = ((static_cast<uint32_t>(width) * bits + 31) / 32) * 4;
    const uint32_t offset = U32(file, 10);
    if (offset != 14 + 40 + 4 * (1u << bits))
        problems.push_back("pixel data does not follow the palette");
    if (width <= 0 || height <= 0 ||
        offset + rowBytes * static_cast<uint32_t>(height) > file.size()) {
        problems.push_back("pixel data is cut short");
        return bmp;
    }
    bmp.Width = width;
    bmp.Height = height;
    bmp.Bits = static_cast<int32_t>(bits);
    for (uint32_t i = 0; i < (1u << bits); i++) {
        size_t at = 54 + 4 * i;
        bmp.Palette.push_back((static_cast<uint32_t>(file[at + 2]) << 16) |
                              (static_cast<uint32_t>(file[at + 1]) << 8) | file[at]);
        if (file[at + 3] != 0) problems.push_back("palette padding byte is not 0");
    }
    bmp.Index.resize(static_cast<size_t>(width * height));
    for (int32_t y = 0; y < height; y++) {
        size_t row = offset + rowBytes * static_cast<uint32_t>(height - 1 - y);
        for (int32_t x = 0; x < width; x++) {
            uint8_t v = bits == 8
                            ? file[row + static_cast<size_t>(x)]
                            : static_cast<uint8_t>(
                                  (file[row + static_cast<size_t>(x / 2)] >> (x % 2 ? 0 : 4)) & 15);
            bmp.Index[static_cast<size_t>(y * width + x)] = v;
        }
    }
    return bmp;
}

void PokeSheetPixel(Bytes& file, int32_t x, int32_t y, uint8_t index) {
    const int32_t width = static_cast<int32_t>(U32(file, 18)),
                  height = static_cast<int32_t>(U32(file, 22));
    const uint32_t rowBytes = ((static_cast<uint32_t>(width) * 4 + 31) / 32) * 4;
    size_t at = U32(file, 10) + rowBytes * static_cast<uint32_t>(height - 1 - y) +
                static_cast<size_t>(x / 2);
    if (x % 2)
        file[at] = static_cast<uint8_t>((file[at] & 0xF0) | (index & 15));
    else
        file[at] = static_cast<uint8_t>((file[at] & 0x0F) | ((index & 15) << 4));
}

Problems CheckButtonsInside(int32_t sheetWidth, int32_t sheetHeight) {
    Problems problems;
    for (int32_t b = 0; b < 9; b++) {
        const SpritePos both[2] = {ButtonSpritesUp[b], ButtonSpritesDown[b]};
        for (const SpritePos& p : both)
            if (p.x < 0 || p.y < 0 || p.x + ButtonWidths[b] > sheetWidth ||
                p.y + ButtonHeights[b] > sheetHeight)
                problems.push_back(
                    Str("button %lld sprite at (%lld, %lld) leaves the sheet", b, p.x, p.y));
    }
    return problems;
}

namespace {

void OnlyBlackAndWhite(const Bitmap& s, const SpriteRect& r, const char* name, Problems& problems) {
    for (int32_t y = r.y; y < r.y + r.h; y++)
        for (int32_t x = r.x; x < r.x + r.w; x++)
            if (s.At(x, y) != 0 && s.At(x, y) != 15)
                problems.push_back(std::string(name) +
                                   Str(": pixel (%lld, %lld) is neither black nor white", x, y));
}

void Checkerboard(const Bitmap& s, const SpriteRect& r, uint8_t topLeft, const char* name,
                  Problems& problems) {
    for (int32_t y = 0; y < r.h; y++)
        for (int32_t x = 0; x < r.w; x++) {
            uint8_t want = ((x + y) % 2 == 0) ? topLeft : static_cast<uint8_t>(15 - topLeft);
            if (s.At(r.x + x, r.y + y) != want)
                problems.push_back(std::string(name) +
                                   Str(": pixel (%lld, %lld) breaks the checkerboard", x, y));
        }
}

void AllOf(const Bitmap& s, int32_t x0, int32_t y0, int32_t w, int32_t h, uint8_t index,
           const char* what, Problems& problems) {
    for (int32_t y = y0; y < y0 + h; y++)
        for (int32_t x = x0; x < x0 + w; x++)
            if (s.At(x, y) != index)
                problems.push_back(std::string(what) +
                                   Str(": pixel (%lld, %lld) is %lld", x, y, s.At(x, y)));
}

} // namespace

Problems CheckSpriteSheet(const Bytes& file) {
    Problems problems;
    Bitmap s = ParseBitmap(file, problems);
    if (s.Width == 0) return problems;
    if (s.Width != SpriteSheetWidth || s.Height != SpriteSheetHeight || s.Bits != 4) {
        problems.push_back(Str("sheet is %lld x %lld at %lld bits, not 144 x 198 at 4", s.Width,
                               s.Height, s.Bits));
        return problems;
    }
    for (int32_t i = 0; i < 16; i++)
        if (s.Palette[static_cast<size_t>(i)] != SheetPalette[i])
            problems.push_back(
                Str("palette entry %lld is %06llx", i, s.Palette[static_cast<size_t>(i)]));

    // The And sprites: black and white only, and the digits really drawn.
    for (int32_t d = 0; d < 10; d++) {
        std::string name = Str("digit %lld", d);
        SpriteRect r = DigitSprite(d);
        OnlyBlackAndWhite(s, r, name.c_str(), problems);
        int32_t ink = 0;
        for (int32_t y = r.y; y < r.y + r.h; y++)
            for (int32_t x = r.x; x < r.x + r.w; x++) ink += s.At(x, y) == 0;
        if (ink < 12) problems.push_back(name + " has almost no ink");
        for (int32_t e = 0; e < d; e++) {
            SpriteRect o = DigitSprite(e);
            bool same = true;
            for (int32_t y = 0; y < r.h && same; y++)
                for (int32_t x = 0; x < r.w && same; x++)
                    same = s.At(r.x + x, r.y + y) == s.At(o.x + x, o.y + y);
            if (same) problems.push_back(name + Str(" looks exactly like digit %lld", e));
        }
    }
    Checkerboard(s, SmallEmptyCellSprite, 0, "small empty cell", problems);
    Checkerboard(s, LargeEmptyCellSprite, 15, "large empty cell", problems);

    // The mask is the exact complement of the logo image's white.
    for (int32_t y = 0; y < LogoImageSprite.h; y++)
        for (int32_t x = 0; x < LogoImageSprite.w; x++) {
            bool white = s.At(LogoImageSprite.x + x, LogoImageSprite.y + y) == 15;
            uint8_t mask = s.At(LogoMaskSprite.x + x, LogoMaskSprite.y + y);
            if (mask != (white ? 0 : 15))
                problems.push_back(Str("logo mask pixel (%lld, %lld) is %lld", x, y, mask));
        }

    Problems inside = CheckButtonsInside(s.Width, s.Height);
    problems.insert(problems.end(), inside.begin(), inside.end());

    // The digits land in the boxes' white fields.
    AllOf(s, ScoreBoxSprite.x + 1, ScoreBoxSprite.y + 14, 62, 14, 15, "score field", problems);
    AllOf(s, HighScoreBoxSprite.x + 1, HighScoreBoxSprite.y + 14, 62, 14, 15, "high-score field",
          problems);
    // The next pair sits in a black well with a black border round it.
    AllOf(s, NextFrameSprite.x + 7, NextFrameSprite.y + 13, 18, 34, 0, "next well", problems);

    // The four blue keys: 19 apart, black borders shared, rows 64, 80, 96 black.
    for (int32_t b = 3; b <= 6; b++) {
        if (b < 6 && (ButtonSpritesUp[b + 1].x != ButtonSpritesUp[b].x + 19 ||
                      ButtonSpritesDown[b + 1].x != ButtonSpritesDown[b].x + 19))
            problems.push_back(Str("keys %lld and %lld do not stand 19 apart", b, b + 1));
        const SpritePos both[2] = {ButtonSpritesUp[b], ButtonSpritesDown[b]};
        for (const SpritePos& p : both) {
            AllOf(s, p.x, p.y, 1, 17, 0, "key border", problems);
            AllOf(s, p.x + 19, p.y, 1, 17, 0, "key border", problems);
            AllOf(s, p.x, p.y, 20, 1, 0, "key border", problems);
            AllOf(s, p.x, p.y + 16, 20, 1, 0, "key border", problems);
            int32_t blue = 0;
            for (int32_t y = p.y + 1; y < p.y + 16; y++)
                for (int32_t x = p.x + 1; x < p.x + 19; x++) blue += s.At(x, y) == 12;
            if (blue < 80) problems.push_back(Str("key %lld is hardly blue", b));
        }
    }

    // Arrow tiles: black outside the octagon's corners.
    for (int32_t k = 1; k <= 4; k++) {
        const SpriteRect tiles[2] = {SmallArrowSprite(k), LargeArrowSprite(k)};
        for (const SpriteRect& t : tiles) {
            AllOf(s, t.x, t.y, 1, 1, 0, "tile corner", problems);
            AllOf(s, t.x + t.w - 1, t.y, 1, 1, 0, "tile corner", problems);
            AllOf(s, t.x, t.y + t.h - 1, 1, 1, 0, "tile corner", problems);
            AllOf(s, t.x + t.w - 1, t.y + t.h - 1, 1, 1, 0, "tile corner", problems);
        }
    }
    return problems;
}

Problems CheckBackground(const Bytes& file, int32_t bits) {
    Problems problems;
    Bitmap b = ParseBitmap(file, problems);
    if (b.Width == 0) return problems;
    if (b.Width != 320 || b.Height != 320 || b.Bits != bits)
        problems.push_back(
            Str("background is %lld x %lld at %lld bits", b.Width, b.Height, b.Bits));
    // A picture, not a flat fill: most of the palette in use in the shown part.
    std::vector<int32_t> used(b.Palette.size(), 0);
    for (int32_t y = 0; y < 240; y++)
        for (int32_t x = 0; x < 240; x++) used[b.At(x, y)]++;
    int32_t distinct = 0;
    for (int32_t n : used) distinct += n > 0;
    if (distinct < static_cast<int32_t>(b.Palette.size()) * 3 / 4)
        problems.push_back(Str("only %lld colours in the shown part", distinct));
    return problems;
}

// ---- waves ----

Problems CheckWave(const Bytes& file, uint32_t samples) {
    Problems problems;
    if (file.size() < 44 || !Tag(file, 0, "RIFF") || !Tag(file, 8, "WAVE") ||
        !Tag(file, 12, "fmt ")) {
        problems.push_back("not a RIFF WAVE file");
        return problems;
    }
    if (U32(file, 4) != file.size() - 8) problems.push_back("RIFF size is wrong");
    if (U32(file, 16) != 16) problems.push_back("fmt chunk is not 16 bytes");
    if (U16(file, 20) != 1) problems.push_back("not PCM");
    if (U16(file, 22) != 1) problems.push_back("not mono");
    if (U32(file, 24) != 11025) problems.push_back("not 11025 samples per second");
    if (U32(file, 28) != 11025 || U16(file, 32) != 1)
        problems.push_back("byte rate or block align is wrong");
    if (U16(file, 34) != 8) problems.push_back("not 8 bits per sample");
    if (!Tag(file, 36, "data")) {
        problems.push_back("data chunk does not follow fmt");
        return problems;
    }
    uint32_t size = U32(file, 40);
    if (size != samples) problems.push_back(Str("%lld data bytes, not %lld", size, samples));
    if (44 + size + (size & 1) != file.size())
        problems.push_back("data chunk does not end the file");
    if (size == 0 || 44 + size > file.size()) return problems;
    auto off = [](uint8_t s) { return s > 128 ? s - 128 : 128 - s; };
    if (off(file[44]) > 2) problems.push_back(Str("starts at %lld, not silence", file[44]));
    if (off(file[44 + size - 1]) > 2)
        problems.push_back(Str("ends at %lld, not silence", file[44 + size - 1]));
    int32_t peak = 0;
    for (uint32_t i = 0; i < size; i++) peak = std::max(peak, off(file[44 + i]));
    if (peak < 20) problems.push_back(Str("too quiet: peak %lld", peak));
    if (peak > 127) problems.push_back("clipped");
    return problems;
}

// ---- icon ----

Problems CheckIcon(const Bytes& file) {
    Problems problems;
    if (file.size() < 6 + 48 || U16(file, 0) != 0 || U16(file, 2) != 1 || U16(file, 4) != 3) {
        problems.push_back("not an icon file with three images");
        return problems;
    }
    const uint32_t sizes[3] = {32, 16, 32}, bits[3] = {4, 4, 1}, colours[3] = {16, 16, 2};
    for (uint32_t i = 0; i < 3; i++) {
        size_t e = 6 + 16 * i;
        uint32_t w = file[e], h = file[e + 1], bytes = U32(file, e + 8), at = U32(file, e + 12);
        if (w != sizes[i] || h != sizes[i])
            problems.push_back(Str("image %lld is %lld wide", i, w));
        if (file[e + 2] != colours[i])
            problems.push_back(Str("image %lld lists %lld colours", i, file[e + 2]));
        if (U16(file, e + 6) != bits[i])
            problems.push_back(Str("image %lld entry has %lld bits", i, U16(file, e + 6)));
        if (at + bytes > file.size() || at < 54) {
            problems.push_back(Str("image %lld lies outside the file", i));
            continue;
        }
        if (U32(file, at) != 40) problems.push_back(Str("image %lld header is not 40 bytes", i));
        if (U32(file, at + 4) != sizes[i] || U32(file, at + 8) != 2 * sizes[i])
            problems.push_back(Str("image %lld is not %lld wide and twice as high", i, sizes[i]));
        if (U16(file, at + 12) != 1 || U16(file, at + 14) != bits[i])
            problems.push_back(Str("image %lld has %lld bits", i, U16(file, at + 14)));
        uint32_t xorRow = ((sizes[i] * bits[i] + 31) / 32) * 4, andRow = ((sizes[i] + 31) / 32) * 4;
        uint32_t want = 40 + 4 * (1u << bits[i]) + (xorRow + andRow) * sizes[i];
        if (bytes != want)
            problems.push_back(Str("image %lld is %lld bytes, not %lld", i, bytes, want));
    }
    return problems;
}

// ---- dialog and accelerators ----

namespace {

std::u16string ReadText(const Bytes& b, size_t& at) {
    std::u16string text;
    while (at + 2 <= b.size()) {
        char16_t c = static_cast<char16_t>(U16(b, at));
        at += 2;
        if (c == 0) return text;
        text += c;
    }
    return text + u"<cut>";
}

} // namespace

Problems CheckOptionsDialog(const Bytes& file) {
    Problems problems;
    if (file.size() < 18) return {"dialog template is cut short"};
    if (U32(file, 0) != 0x80C800C0) problems.push_back("dialog style is wrong");
    if (U32(file, 4) != 0x80000000) problems.push_back("dialog extended style is wrong");
    if (U16(file, 8) != 7) problems.push_back(Str("%lld items, not 7", U16(file, 8)));
    if (I16(file, 10) != 0 || I16(file, 12) != 0 || I16(file, 14) != 103 || I16(file, 16) != 69)
        problems.push_back("dialog position or size is wrong");
    size_t at = 18;
    if (U16(file, at) != 0 || U16(file, at + 2) != 0)
        problems.push_back("dialog has a menu or class");
    at += 4;
    if (ReadText(file, at) != u"Option") problems.push_back("title is not Option");
    if (U16(file, at) != 9) problems.push_back("point size is not 9");
    at += 2;
    if (ReadText(file, at) != u"\uFF2D\uFF33 \uFF30\u30B4\u30B7\u30C3\u30AF")
        problems.push_back("font name is wrong");
    struct Item {
        uint32_t Style;
        int32_t X, Y, W, H;
        uint32_t Id;
        std::u16string Text;
    };
    const Item items[7] = {
        {0x50010003, 10, 20, 37, 9, 1002, u"Rotation"},
        {0x50010003, 50, 20, 37, 9, 1003, u"Left"},
        {0x50010003, 10, 30, 37, 9, 1004, u"Down"},
        {0x50010003, 50, 30, 37, 9, 1005, u"Right"},
        {0x50000007, 5, 5, 90, 40, 65535, u"Key Repeat"},
        {0x50010000, 5, 50, 40, 15, 1, u"OK"},
        {0x50010000, 55, 50, 40, 15, 2, u"CANCEL"},
    };
    for (int32_t i = 0; i < 7; i++) {
        const Item& want = items[i];
        if (at % 4 != 0) {
            for (size_t k = at; k < (at + 3) / 4 * 4 && k < file.size(); k++)
                if (file[k] != 0) problems.push_back("padding is not zero");
            at = (at + 3) / 4 * 4;
        }
        if (at + 22 > file.size()) {
            problems.push_back(Str("item %lld is cut short", i));
            return problems;
        }
        if (U32(file, at) != want.Style)
            problems.push_back(Str("item %lld style is %llx", i, U32(file, at)));
        if (U32(file, at + 4) != 0) problems.push_back(Str("item %lld has an extended style", i));
        if (I16(file, at + 8) != want.X || I16(file, at + 10) != want.Y ||
            I16(file, at + 12) != want.W || I16(file, at + 14) != want.H)
            problems.push_back(Str("item %lld position or size is wrong", i));
        if (U16(file, at + 16) != want.Id)
            problems.push_back(Str("item %lld id is %lld", i, U16(file, at + 16)));
        if (U16(file, at + 18) != 0xFFFF || U16(file, at + 20) != 0x0080)
            problems.push_back(Str("item %lld is not of the button class", i));
        at += 22;
        if (ReadText(file, at) != want.Text) problems.push_back(Str("item %lld text is wrong", i));
        if (U16(file, at) != 0) problems.push_back(Str("item %lld has creation data", i));
        at += 2;
    }
    if (at != file.size()) problems.push_back("bytes after the last item");
    return problems;
}

Problems CheckAccelerators(const Bytes& file) {
    Problems problems;
    if (file.size() != 16)
        return {
            Str("accelerator table is %lld bytes, not 16", static_cast<long long>(file.size()))};
    const uint32_t want[2][4] = {{0x12, 47, 40003, 0}, {0x93, 0x73, 40002, 0}};
    for (int32_t e = 0; e < 2; e++)
        for (int32_t f = 0; f < 4; f++)
            if (U16(file, static_cast<size_t>(8 * e + 2 * f)) != want[e][f])
                problems.push_back(Str("entry %lld word %lld is %lld", e, f,
                                       U16(file, static_cast<size_t>(8 * e + 2 * f))));
    return problems;
}
