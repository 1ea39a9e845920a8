// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/gen-assets/scenes.h"

#include "tools/gen-assets/fixmath.h"

#include <algorithm>

namespace {

struct Box {
    std::vector<uint32_t> Colours; // one entry per pixel
};

int32_t Channel(uint32_t c, int32_t ch) {
    return static_cast<int32_t>((c >> (16 - 8 * ch)) & 0xFF);
}

// The channel with the widest spread, and that spread.
void WidestChannel(const Box& box, int32_t& channel, int32_t& spread) {
    channel = 0;
    spread = -1;
    for (int32_t ch = 0; ch < 3; ch++) {
        int32_t lo = 255, hi = 0;
        for (uint32_t c : box.Colours) {
            lo = std::min(lo, Channel(c, ch));
            hi = std::max(hi, Channel(c, ch));
        }
        // Green counts a little more, as the eye sees it.
        int32_t weighted = (hi - lo) * (ch == 1 ? 5 : ch == 0 ? 4 : 3);
        if (weighted > spread) {
            spread = weighted;
            channel = ch;
        }
    }
}

uint32_t Average(const Box& box) {
    uint64_t sum[3] = {0, 0, 0};
    for (uint32_t c : box.Colours)
        for (int32_t ch = 0; ch < 3; ch++) sum[ch] += static_cast<uint64_t>(Channel(c, ch));
    uint64_t n = box.Colours.size();
    if (n == 0) return 0;
    return Rgb(static_cast<int32_t>((sum[0] + n / 2) / n),
               static_cast<int32_t>((sum[1] + n / 2) / n),
               static_cast<int32_t>((sum[2] + n / 2) / n));
}

int32_t Distance(uint32_t a, uint32_t b) {
    int32_t dr = Red(a) - Red(b), dg = Green(a) - Green(b), db = Blue(a) - Blue(b);
    return 3 * dr * dr + 4 * dg * dg + 2 * db * db;
}

} // namespace

std::vector<uint32_t> MedianCut(const std::vector<uint32_t>& pixels, int32_t colours) {
    std::vector<Box> boxes(1);
    boxes[0].Colours = pixels;
    while (static_cast<int32_t>(boxes.size()) < colours) {
        // Split the box whose widest channel, weighted by its pixel count,
        // is the largest.
        int32_t best = -1;
        int64_t bestScore = 0;
        for (size_t i = 0; i < boxes.size(); i++) {
            if (boxes[i].Colours.size() < 2) continue;
            int32_t ch = 0, spread = 0;
            WidestChannel(boxes[i], ch, spread);
            int64_t score =
                static_cast<int64_t>(spread) * static_cast<int64_t>(ISqrt(boxes[i].Colours.size()));
            if (spread > 0 && score > bestScore) {
                bestScore = score;
                best = static_cast<int32_t>(i);
            }
        }
        if (best < 0) break;
        Box& box = boxes[static_cast<size_t>(best)];
        int32_t ch = 0, spread = 0;
        WidestChannel(box, ch, spread);
        std::stable_sort(box.Colours.begin(), box.Colours.end(),
                         [ch](uint32_t a, uint32_t b) { return Channel(a, ch) < Channel(b, ch); });
        size_t half = box.Colours.size() / 2;
        Box upper;
        upper.Colours.assign(box.Colours.begin() + static_cast<ptrdiff_t>(half), box.Colours.end());
        box.Colours.resize(half);
        boxes.push_back(std::move(upper));
    }
    std::vector<uint32_t> palette;
    palette.reserve(boxes.size());
    for (const Box& box : boxes) palette.push_back(Average(box));
    // Darkest first, so the palette reads in order.
    std::stable_sort(palette.begin(), palette.end(), [](uint32_t a, uint32_t b) {
        return Red(a) * 3 + Green(a) * 6 + Blue(a) < Red(b) * 3 + Green(b) * 6 + Blue(b);
    });
    while (static_cast<int32_t>(palette.size()) < colours) palette.push_back(0);
    return palette;
}

namespace {

uint8_t Nearest(const std::vector<uint32_t>& palette, uint32_t c) {
    size_t best = 0;
    int32_t bestDistance = Distance(palette[0], c);
    for (size_t i = 1; i < palette.size(); i++) {
        int32_t d = Distance(palette[i], c);
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return static_cast<uint8_t>(best);
}

} // namespace

PalettedImage Quantize(const RgbImage& picture, int32_t colours, int32_t diffusion) {
    return MapToPalette(picture, MedianCut(picture.Pixels, colours), diffusion);
}

PalettedImage MapToPalette(const RgbImage& picture, const std::vector<uint32_t>& palette,
                           int32_t diffusion) {
    const bool diffuse = diffusion > 0;
    PalettedImage out;
    out.Palette = palette;
    out.Image = MakeIndexed(picture.Width, picture.Height, 0);
    const int32_t w = picture.Width;
    // Error rows in 1/16 units per channel, two rows with a guard on each side.
    std::vector<int32_t> current(static_cast<size_t>(w + 2) * 3, 0), next(current.size(), 0);
    for (int32_t y = 0; y < picture.Height; y++) {
        std::fill(next.begin(), next.end(), 0);
        for (int32_t x = 0; x < w; x++) {
            uint32_t c = GetRgb(picture, x, y);
            int32_t want[3] = {Red(c), Green(c), Blue(c)};
            if (diffuse)
                for (int32_t ch = 0; ch < 3; ch++)
                    want[ch] +=
                        current[static_cast<size_t>(x + 1) * 3 + static_cast<size_t>(ch)] / 16;
            uint32_t target = Rgb(want[0], want[1], want[2]);
            uint8_t index = Nearest(out.Palette, target);
            SetIndex(out.Image, x, y, index);
            if (!diffuse) continue;
            uint32_t got = out.Palette[index];
            int32_t have[3] = {Red(got), Green(got), Blue(got)};
            int32_t clamped[3] = {Red(target), Green(target), Blue(target)};
            for (int32_t ch = 0; ch < 3; ch++) {
                int32_t e = (clamped[ch] - have[ch]) * diffusion / 16;
                size_t at = static_cast<size_t>(x + 1) * 3 + static_cast<size_t>(ch);
                current[at + 3] += e * 7;
                next[at - 3] += e * 3;
                next[at] += e * 5;
                next[at + 3] += e * 1;
            }
        }
        std::swap(current, next);
    }
    return out;
}
