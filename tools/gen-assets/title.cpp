// SPDX-License-Identifier: GPL-3.0-or-later
// The title picture: pink and white blossoms on curving twigs among leaves,
// in front of out-of-focus foliage. The middle, where the word mark and the
// prompt go, is kept to dark leaves so the logo reads.
#include "tools/gen-assets/scenes.h"

#include "tools/gen-assets/paint.h"
#include "tools/gen-assets/title.h"

#include <vector>

namespace {
using namespace title;

struct Point {
    int32_t X, Y, Angle;
};

// Whether a point is in the calm middle band behind the logo.
bool InCalmBand(int32_t x, int32_t y) { return x > 36 && x < 204 && y > 92 && y < 188; }

void Backdrop(RgbImage& p) {
    const uint32_t deep = Rgb(10, 26, 18), mid = Rgb(38, 72, 38), bright = Rgb(104, 140, 66);
    for (int32_t y = 0; y < p.Height; y++)
        for (int32_t x = 0; x < p.Width; x++) {
            int32_t n = FractalNoise(x, y, 96, 4, 11);
            int32_t m = FractalNoise(x + 701, y + 33, 48, 3, 12);
            uint32_t c = MixRgb(deep, mid, n * 3 / 2 - 64);
            // Sunlit foliage towards the upper left.
            int32_t sun = 256 - (x + y) * 256 / 420;
            if (sun > 0) c = MixRgb(c, bright, sun * m / 400);
            // The middle band a little darker still.
            int32_t dx = x - 120, dy = y - 150;
            int32_t d = (dx * dx) / 64 + (dy * dy) / 36;
            if (d < 256) c = ScaleRgb(c, 200 + d * 56 / 256);
            SetRgb(p, x, y, c);
        }
}

// Out-of-focus discs of light and of far blossoms.
void Bokeh(RgbImage& p, Rng& rng) {
    for (int32_t i = 0; i < 26; i++) {
        int32_t cx = RandomRange(rng, 0, 319), cy = RandomRange(rng, 0, 319);
        int32_t r = RandomRange(rng, 6, 20);
        bool warm = RandomRange(rng, 0, 2) == 0;
        if (InCalmBand(cx, cy)) continue;
        uint32_t colour = warm ? Rgb(196, 206, 110) : Rgb(150, 190, 100);
        int32_t strength = RandomRange(rng, 40, 90);
        for (int32_t y = cy - r - 2; y <= cy + r + 2; y++)
            for (int32_t x = cx - r - 2; x <= cx + r + 2; x++) {
                int32_t dx = x - cx, dy = y - cy;
                int32_t d16 =
                    static_cast<int32_t>(ISqrt(static_cast<uint64_t>((dx * dx + dy * dy) * 256)));
                int32_t edge = (r * 16 - d16) * 256 / 32; // two-pixel soft edge
                if (edge <= 0) continue;
                if (edge > 256) edge = 256;
                // A slightly brighter rim, as out-of-focus highlights have.
                int32_t rim = d16 > (r - 2) * 16 ? 40 : 0;
                BlendRgb(p, x, y, colour, edge * (strength + rim) / 256);
            }
    }
}

// ---- twigs ----

// A twig from (x, y) heading at angle, bending gently; returns points along
// it for leaves and flowers.
std::vector<Point> Twig(RgbImage& p, int32_t x, int32_t y, int32_t angle, int32_t length,
                        int32_t width16, int32_t bend, uint32_t seed) {
    std::vector<Point> points;
    int32_t fx = x * Sub, fy = y * Sub;
    const uint32_t dark = Rgb(40, 26, 22), light = Rgb(128, 98, 76);
    for (int32_t step = 0; step < length; step += 2) {
        int32_t a = angle + bend * SinQ14(step * 260 + static_cast<int32_t>(seed)) / One14;
        fx += 2 * CosQ14(a) * Sub / One14;
        fy += 2 * SinQ14(a) * Sub / One14;
        int32_t r = width16 - width16 * step / (length * 2); // tapers to half
        int32_t cxp = fx / Sub, cyp = fy / Sub;
        auto inside = [&](int32_t px, int32_t py) { return InDisc(px, py, fx, fy, r); };
        auto colour = [&](int32_t px, int32_t py) {
            int32_t u = 0, v = 0;
            ToFrame(Centre(px), Centre(py), fx, fy, a, u, v);
            int32_t t = v * One14 / (r > 0 ? r : 1); // across the twig, -1..1
            if (t > One14) t = One14;
            if (t < -One14) t = -One14;
            int32_t nz = static_cast<int32_t>(ISqrt(static_cast<uint64_t>(One14) * One14 -
                                                    static_cast<uint64_t>(int64_t{t} * t)));
            // The across direction in the picture is (-sin a, cos a).
            int32_t nx = -SinQ14(a) * t / One14, ny = CosQ14(a) * t / One14;
            int32_t lit = Lambert(nx, ny, nz, LightX, LightY, LightZ, 40);
            int32_t grain = static_cast<int32_t>(HashPoint(px, py, seed) >> 27); // 0..31
            return MixRgb(dark, light, lit - 16 + grain);
        };
        PaintShape(p, cxp - r / Sub - 2, cyp - r / Sub - 2, cxp + r / Sub + 3, cyp + r / Sub + 3,
                   inside, colour, 256);
        if (step % 6 == 0) points.push_back({cxp, cyp, a});
    }
    return points;
}

// ---- leaves ----

void Leaf(RgbImage& p, int32_t cx, int32_t cy, int32_t angle, int32_t length, int32_t width,
          uint32_t base, int32_t opacity) {
    const int32_t fx = Centre(cx), fy = Centre(cy);
    const int32_t half = length * Sub / 2, w = width * Sub / 2;
    auto inside = [&](int32_t px, int32_t py) {
        int32_t u = 0, v = 0;
        ToFrame(px, py, fx, fy, angle, u, v);
        if (u < -half || u > half) return false;
        int64_t k = int64_t{One14} - int64_t{u} * u * One14 / (int64_t{half} * half);
        int64_t limit = w * k / One14;
        return v <= limit && v >= -limit;
    };
    const uint32_t rib = MixRgb(ScaleRgb(base, 400), Rgb(190, 210, 110), 96);
    auto colour = [&](int32_t px, int32_t py) {
        int32_t u = 0, v = 0;
        ToFrame(Centre(px), Centre(py), fx, fy, angle, u, v);
        int64_t k = int64_t{One14} - int64_t{u} * u * One14 / (int64_t{half} * half);
        int32_t limit = static_cast<int32_t>(w * k / One14);
        if (limit < 1) limit = 1;
        int32_t t = v * One14 / limit;
        if (t > One14) t = One14;
        if (t < -One14) t = -One14;
        // Folded along the midrib: each half tilts to its own side.
        int32_t side = t >= 0 ? 6000 : -6000;
        int32_t nx = -SinQ14(angle) * side / One14, ny = CosQ14(angle) * side / One14;
        int32_t lit = Lambert(nx, ny, 15200, LightX, LightY, LightZ, 90);
        uint32_t c = ScaleRgb(base, 120 + lit * 3 / 4);
        int32_t av = v < 0 ? -v : v;
        if (av < Sub / 2) c = MixRgb(c, rib, 120);
        // Side veins running out from the midrib.
        else if (((u - av * 3 / 2) & (Sub * 4 - 1)) < Sub / 2)
            c = MixRgb(c, rib, 50);
        int32_t at = t < 0 ? -t : t;
        if (at > One14 * 4 / 5) c = ScaleRgb(c, 210);
        return c;
    };
    int32_t reach = length / 2 + 2;
    PaintShape(p, cx - reach, cy - reach, cx + reach + 1, cy + reach + 1, inside, colour, opacity);
}

// ---- the picture ----

struct Cluster {
    int32_t X, Y, Spread, Flowers;
    bool Pink;
};

// The blossoms' and twigs' inks, kept whatever the foliage needs.
constexpr uint32_t FlowerInks[8] = {0xFEFCF8, 0xDACCD4, 0xF6CADA, 0xE896B8,
                                    0xCC5E8E, 0x9C2C5E, 0xECC848, 0x604234};

} // namespace

RgbImage PaintTitleScene() {
    RgbImage p = MakeRgb(SceneSize, SceneSize, 0);
    Rng rng{0x0B1055u};
    Backdrop(p);
    Bokeh(p, rng);

    // Leaves further back, in shadow.
    for (int32_t i = 0; i < 46; i++) {
        int32_t x = RandomRange(rng, -10, 330), y = RandomRange(rng, -10, 330);
        int32_t shade = InCalmBand(x, y) ? 60 : 85;
        // One draw per statement: the order of a call's arguments is not
        // fixed, and the picture must not depend on the compiler.
        int32_t width = RandomRange(rng, 14, 20);
        int32_t length = RandomRange(rng, 34, 50);
        int32_t angle = RandomRange(rng, 0, FullTurn - 1);
        Leaf(p, x, y, angle, length, width,
             Rgb(shade * 36 / 100, shade * 70 / 100, shade * 36 / 100), 256);
    }

    // Twigs along the top, across the bottom and in from the sides.
    std::vector<Point> twigs[4] = {
        Twig(p, -8, 70, -1900, 180, 56, 2400, 1),
        Twig(p, 330, 36, FullTurn / 2 + 2200, 190, 50, 2200, 2),
        Twig(p, -8, 246, -2600, 270, 60, 1800, 3),
        Twig(p, 330, 306, FullTurn / 2 + 3000, 220, 54, 2000, 4),
    };

    // Leaves along the twigs, alternating sides.
    for (const std::vector<Point>& twig : twigs)
        for (size_t i = 1; i < twig.size(); i += 2) {
            const Point& at = twig[i];
            if (InCalmBand(at.X, at.Y)) continue;
            int32_t side = (i / 2) % 2 == 0 ? FullTurn / 8 : -FullTurn / 8;
            int32_t length = RandomRange(rng, 26, 40);
            int32_t a = at.Angle + side + RandomRange(rng, -2400, 2400);
            int32_t ox = at.X + length / 2 * CosQ14(a) / One14,
                    oy = at.Y + length / 2 * SinQ14(a) / One14;
            int32_t tone = RandomRange(rng, 0, 2);
            uint32_t base = tone == 0   ? Rgb(74, 124, 52)
                            : tone == 1 ? Rgb(60, 106, 44)
                                        : Rgb(86, 132, 56);
            Leaf(p, ox, oy, a, length, RandomRange(rng, 12, 16), base, 256);
        }

    // Blossoms in clusters round the edges of the picture.
    const Cluster clusters[] = {
        {30, 40, 24, 3, true},    {100, 24, 22, 3, false}, {184, 58, 20, 3, true},
        {290, 40, 24, 3, false},  {10, 140, 10, 2, false}, {232, 150, 8, 2, true},
        {64, 214, 22, 3, false},  {170, 222, 22, 3, true}, {30, 286, 22, 3, true},
        {120, 300, 22, 3, false}, {208, 272, 20, 3, true}, {292, 200, 24, 3, true},
        {296, 300, 20, 2, false},
    };
    for (const Cluster& c : clusters) {
        for (int32_t f = 0; f < c.Flowers; f++) {
            int32_t x = c.X + RandomRange(rng, -c.Spread, c.Spread);
            int32_t y = c.Y + RandomRange(rng, -c.Spread / 2, c.Spread / 2);
            int32_t angle = RandomRange(rng, 0, FullTurn - 1);
            int32_t radius = RandomRange(rng, 13, 19);
            Blossom(p, x, y, radius, angle, c.Pink == (f != 2), rng);
        }
        int32_t angle = RandomRange(rng, 0, FullTurn - 1);
        int32_t x = c.X + RandomRange(rng, -c.Spread, c.Spread);
        Bud(p, x, c.Y + c.Spread / 2 + 10, angle);
    }
    return p;
}

PalettedImage MakeTitleImage() {
    RgbImage picture = PaintTitleScene();
    // Eight inks for the foliage, chosen from its own pixels, and eight fixed
    // ones for the flowers and twigs, so the pinks survive the reduction.
    std::vector<uint32_t> foliage;
    for (uint32_t c : picture.Pixels)
        if (Green(c) >= Red(c)) foliage.push_back(c);
    std::vector<uint32_t> palette = MedianCut(foliage, 8);
    palette.insert(palette.end(), FlowerInks, FlowerInks + 8);
    return MapToPalette(picture, palette, 12);
}
