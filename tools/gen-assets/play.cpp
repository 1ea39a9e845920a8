// SPDX-License-Identifier: GPL-3.0-or-later
// The play picture: an old brick garden wall with an arched stone niche, a
// marble figure standing in it on a plinth, and clipped shrubs along the
// foot of the wall. Sunlight comes from the upper right; the board's side
// of the wall lies in shade so the arrow tiles stand out over it.
#include "tools/gen-assets/scenes.h"

#include "tools/gen-assets/paint.h"
#include "tools/gen-assets/play.h"

#include <algorithm>
#include <vector>

namespace play {

bool InNicheOpening(int32_t x, int32_t y, int32_t grow) {
    int32_t dx = x - NicheX;
    int32_t half = NicheHalf + grow;
    if (y >= SillY + grow || dx < -half || dx >= half) return false;
    if (y >= ArchY) return true;
    int32_t dy = y - ArchY;
    return dx * dx + dy * dy < half * half;
}

uint32_t Limestone(int32_t x, int32_t y, uint32_t seed) {
    int32_t n = FractalNoise(x, y, 12, 3, seed);
    int32_t pit = (HashPoint(x, y, seed) % 23 == 0) ? -30 : 0;
    return ScaleRgb(Rgb(190, 178, 150), 200 + n / 3 + pit);
}

} // namespace play

namespace {
using namespace play;

// Broad light over the wall: brighter to the right and top, darker over the
// board and towards the bottom.
int32_t WallLight(int32_t x, int32_t y) {
    int32_t light = 150 + x * 110 / 320 - y * 50 / 320;
    int32_t n = FractalNoise(x, y, 80, 2, 91);
    return light + (n - 128) / 5;
}

// ---- bricks ----

constexpr int32_t Course = 9, BrickHigh = 7, Stretch = 24, BrickLong = 22;
constexpr uint32_t BrickTones[6] = {0x8E4632, 0x7C3C2C, 0x9A5638, 0x6E3428, 0xA4603E, 0x84483A};

uint32_t BrickPixel(int32_t x, int32_t y) {
    int32_t row = y / Course, inRow = y % Course;
    int32_t shifted = x + (row % 2 == 1 ? Stretch / 2 : 0);
    int32_t column = shifted / Stretch, inBrick = shifted % Stretch;
    int32_t dirt = FractalNoise(x, y, 64, 3, 7);
    uint32_t mortar = Rgb(128, 120, 106);
    if (inRow >= BrickHigh || inBrick >= BrickLong) {
        // Mortar, recessed: in shadow right under a brick.
        int32_t grain = static_cast<int32_t>(HashPoint(x, y, 5) >> 26); // 0..63
        uint32_t c = ScaleRgb(mortar, 200 + grain);
        if (inRow == BrickHigh) c = ScaleRgb(c, 150);
        return ScaleRgb(c, 256 - (dirt - 100) / 2);
    }
    uint32_t h = HashPoint(column, row, 3);
    uint32_t tone = BrickTones[h % 6];
    int32_t shade = 220 + static_cast<int32_t>((h >> 8) % 64);
    // Fired clay: fine mottling and the odd dark or pale speck.
    int32_t mottle = FractalNoise(x * 3 + column * 50, y * 3, 8, 2, 17 + h % 5);
    uint32_t c = ScaleRgb(tone, shade + (mottle - 128) / 3);
    uint32_t speck = HashPoint(x, y, 23);
    if (speck % 29 == 0)
        c = ScaleRgb(c, 170);
    else if (speck % 37 == 0)
        c = MixRgb(c, Rgb(196, 150, 110), 120);
    // Worn arrises: lit top edge, shaded bottom, chipped corners.
    if (inRow == 0) c = ScaleRgb(c, 290);
    if (inRow == BrickHigh - 1) c = ScaleRgb(c, 190);
    if (inBrick == BrickLong - 1) c = ScaleRgb(c, 215);
    bool corner =
        (inRow == 0 || inRow == BrickHigh - 1) && (inBrick == 0 || inBrick == BrickLong - 1);
    if (corner && (h >> 20) % 3 == 0) return ScaleRgb(mortar, 190);
    // Soot and damp in patches, moss low down.
    c = ScaleRgb(c, 300 - dirt * 3 / 4 + 40);
    if (y > 180) c = MixRgb(c, Rgb(70, 90, 50), (y - 180) * (dirt - 60) / 200);
    return c;
}

void Wall(RgbImage& p) {
    for (int32_t y = 0; y < p.Height; y++)
        for (int32_t x = 0; x < p.Width; x++)
            SetRgb(p, x, y, ScaleRgb(BrickPixel(x, y), WallLight(x, y)));
}

// ---- the niche ----

void Niche(RgbImage& p) {
    for (int32_t y = 0; y < p.Height; y++)
        for (int32_t x = 0; x < p.Width; x++) {
            bool opening = InNicheOpening(x, y, 0);
            bool frame = !opening && InNicheOpening(x, y, Surround) && y < SillY;
            int32_t dx = x - NicheX;
            if (opening) {
                // The recess: a half cylinder under a half dome. Its left
                // side faces the sun, the right and the dome lie in shadow.
                int32_t t = dx * 256 / NicheHalf; // -256..256
                int32_t lit = 104 - t * 44 / 256;
                int32_t dome = y < ArchY + 20 ? (ArchY + 20 - y) * 2 : 0;
                int32_t floor = y > SillY - 40 ? (y - (SillY - 40)) : 0;
                int32_t n = FractalNoise(x, y, 16, 3, 33);
                uint32_t plaster = ScaleRgb(Rgb(156, 146, 124), lit - dome + floor + (n - 128) / 6);
                SetRgb(p, x, y, plaster);
            } else if (frame) {
                // Voussoirs round the arch, blocks down the sides.
                bool joint = false;
                int32_t bevel = 256;
                if (y < ArchY) {
                    int32_t dy = y - ArchY;
                    // Joints radiate from the arch's centre: every ninth of
                    // a half turn.
                    int32_t best = 1 << 30;
                    for (int32_t k = 1; k < 9; k++) {
                        int32_t a = FullTurn / 2 + k * (FullTurn / 18);
                        int64_t cross = int64_t{dx} * SinQ14(a) - int64_t{dy} * CosQ14(a);
                        int32_t d = static_cast<int32_t>((cross < 0 ? -cross : cross) / One14);
                        best = std::min(best, d);
                    }
                    joint = best == 0;
                    int32_t r =
                        static_cast<int32_t>(ISqrt(static_cast<uint64_t>(dx * dx + dy * dy)));
                    if (r <= NicheHalf + 1) bevel = 180;
                    if (r >= NicheHalf + Surround - 1) bevel = 300;
                } else {
                    joint = (y - ArchY) % 22 == 21;
                    int32_t ax = dx < 0 ? -dx : dx;
                    if (ax <= NicheHalf + 1) bevel = dx < 0 ? 300 : 170;
                    if (ax >= NicheHalf + Surround - 1) bevel = dx < 0 ? 190 : 310;
                }
                uint32_t stone = ScaleRgb(Limestone(x, y, 41), bevel);
                if (joint) stone = ScaleRgb(stone, 130);
                SetRgb(p, x, y, ScaleRgb(stone, WallLight(x, y) * 9 / 10));
            }
        }
    // The sill: a ledge standing out from the wall, its top catching light.
    for (int32_t y = SillY; y < SillY + 10; y++)
        for (int32_t x = NicheX - NicheHalf - Surround - 6; x < NicheX + NicheHalf + Surround + 6;
             x++) {
            uint32_t stone = Limestone(x, y, 47);
            int32_t face = y < SillY + 3 ? 300 : 190 - (y - SillY) * 4;
            SetRgb(p, x, y, ScaleRgb(stone, face * WallLight(x, y) / 256));
        }
    // Its shadow on the bricks below.
    for (int32_t y = SillY + 10; y < SillY + 16; y++)
        for (int32_t x = NicheX - NicheHalf - Surround - 8; x < NicheX + NicheHalf + Surround + 4;
             x++)
            SetRgb(p, x, y, ScaleRgb(GetRgb(p, x, y), 120 + (y - SillY - 10) * 20));
}

// ---- shrubs ----

struct Clump {
    int32_t X, Y, Rx, Ry;
    uint32_t Green;
};

struct Sprig {
    int32_t X, Y, Angle, Size, Depth;
    uint32_t Colour;
};

void Shrubs(RgbImage& p, Rng& rng) {
    const Clump clumps[] = {
        {300, 236, 46, 64, 0x34582A}, {236, 246, 42, 46, 0x2C5026}, {18, 246, 40, 40, 0x3A5E2C},
        {96, 256, 54, 38, 0x2E5428},  {170, 252, 40, 40, 0x38602E}, {130, 300, 70, 34, 0x2A4A24},
        {30, 306, 60, 30, 0x30522A},  {250, 306, 70, 32, 0x2E4E26},
    };
    for (const Clump& c : clumps) {
        // A dark body first so no wall shows between the leaves.
        for (int32_t y = c.Y - c.Ry; y <= c.Y + c.Ry; y++)
            for (int32_t x = c.X - c.Rx; x <= c.X + c.Rx; x++) {
                int64_t dx = x - c.X, dy = y - c.Y;
                if (dx * dx * c.Ry * c.Ry + dy * dy * c.Rx * c.Rx <=
                    int64_t{c.Rx} * c.Rx * c.Ry * c.Ry * 85 / 100)
                    SetRgb(p, x, y, ScaleRgb(c.Green, 70));
            }
        std::vector<Sprig> sprigs;
        const int32_t count = c.Rx * c.Ry * 2 / 3;
        for (int32_t i = 0; i < count; i++) {
            int32_t dx = RandomRange(rng, -c.Rx, c.Rx), dy = RandomRange(rng, -c.Ry, c.Ry);
            const int64_t ux = int64_t{dx} * One14 / c.Rx, uy = int64_t{dy} * One14 / c.Ry;
            int64_t s = ux * ux + uy * uy;
            if (s >= int64_t{One14} * One14) continue;
            int32_t nx = dx * One14 / c.Rx, ny = dy * One14 / c.Ry;
            int32_t nz =
                static_cast<int32_t>(ISqrt(static_cast<uint64_t>(int64_t{One14} * One14 - s)));
            int32_t lit = Lambert(nx, ny, nz, LightX, LightY, LightZ, 30);
            int32_t tone = RandomRange(rng, 150, 330);
            uint32_t colour = ScaleRgb(c.Green, tone * (80 + lit) / 256);
            if (RandomRange(rng, 0, 9) == 0) colour = MixRgb(colour, Rgb(150, 170, 70), 90);
            sprigs.push_back({c.X + dx, c.Y + dy, RandomRange(rng, 0, FullTurn - 1),
                              RandomRange(rng, 3, 5), nz, colour});
        }
        std::stable_sort(sprigs.begin(), sprigs.end(),
                         [](const Sprig& a, const Sprig& b) { return a.Depth < b.Depth; });
        for (const Sprig& s : sprigs) {
            const int32_t fx = Centre(s.X), fy = Centre(s.Y);
            auto inside = [&](int32_t px, int32_t py) {
                return InEllipse(px, py, fx, fy, s.Size * Sub, s.Size * Sub / 2, s.Angle);
            };
            auto colour = [&](int32_t x, int32_t y) {
                int32_t u = 0, v = 0;
                ToFrame(Centre(x), Centre(y), fx, fy, s.Angle, u, v);
                return ScaleRgb(s.Colour, v < 0 ? 280 : 220);
            };
            PaintShape(p, s.X - s.Size - 1, s.Y - s.Size - 1, s.X + s.Size + 2, s.Y + s.Size + 2,
                       inside, colour, 256);
        }
    }
}

} // namespace

RgbImage PaintPlayScene() {
    RgbImage p = MakeRgb(SceneSize, SceneSize, 0);
    Rng rng{0x57A7E5u};
    Wall(p);
    Niche(p);
    play::PaintStatue(p);
    Shrubs(p, rng);
    return p;
}

PalettedImage MakePlayImage() { return Quantize(PaintPlayScene(), 256, 12); }
