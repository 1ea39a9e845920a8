// SPDX-License-Identifier: GPL-3.0-or-later
// The play picture: an old brick garden wall with an arched stone niche, a
// marble figure standing in it on a plinth, and clipped shrubs along the
// foot of the wall. Sunlight comes from the upper right; the board's side
// of the wall lies in shade so the arrow tiles stand out over it.
#include "tools/gen-assets/scenes.h"

#include "tools/gen-assets/paint.h"

#include <algorithm>
#include <vector>

namespace {

constexpr int32_t LightX = 8200, LightY = -7400, LightZ = 11400;

// The niche: an arch over straight sides, with a stone surround.
constexpr int32_t NicheX = 82, NicheHalf = 42, ArchY = 66, SillY = 214;
constexpr int32_t Surround = 10;

// Broad light over the wall: brighter to the right and top, darker over the
// board and towards the bottom.
int32_t WallLight(int32_t x, int32_t y) {
    int32_t light = 150 + x * 110 / 320 - y * 50 / 320;
    int32_t n = FractalNoise(x, y, 80, 2, 91);
    return light + (n - 128) / 5;
}

bool InNicheOpening(int32_t x, int32_t y, int32_t grow) {
    int32_t dx = x - NicheX;
    int32_t half = NicheHalf + grow;
    if (y >= SillY + grow || dx < -half || dx >= half) return false;
    if (y >= ArchY) return true;
    int32_t dy = y - ArchY;
    return dx * dx + dy * dy < half * half;
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

uint32_t Limestone(int32_t x, int32_t y, uint32_t seed) {
    int32_t n = FractalNoise(x, y, 12, 3, seed);
    int32_t pit = (HashPoint(x, y, seed) % 23 == 0) ? -30 : 0;
    return ScaleRgb(Rgb(190, 178, 150), 200 + n / 3 + pit);
}

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

// ---- the statue ----

// A surface point's normal, from how far across the shape it lies (-1..1 as
// -16384..16384) and a sideways tilt; the shape is taken as round.
int32_t RoundLight(int32_t across, int32_t tilt, int32_t ambient) {
    if (across > One14) across = One14;
    if (across < -One14) across = -One14;
    int32_t nz = static_cast<int32_t>(ISqrt(static_cast<uint64_t>(One14) * One14 -
                                            static_cast<uint64_t>(int64_t{across} * across)));
    return Lambert(across, tilt, nz, LightX, LightY, LightZ, ambient);
}

// Weathered marble, softly mottled; in the niche's shade it never gets
// brighter than a pale grey.
uint32_t Marble(int32_t x, int32_t y, int32_t lit) {
    int32_t mottle = FractalNoise(x, y, 10, 2, 61);
    uint32_t c = Rgb(214, 208, 196);
    return ScaleRgb(c, 30 + lit * 200 / 256 + (mottle - 128) / 10);
}

// The robe: hangs from the waist and flares to the hem, in folds.
struct Figure {
    int32_t HeadY, ShoulderY, WaistY, HemY, Base;
};
constexpr Figure Statue = {56, 80, 116, 188, 214};

int32_t BodyCentre(int32_t y) {
    return NicheX + (y - Statue.WaistY) * 3 / 70 - 1;
}

int32_t BodyHalfWidth(int32_t y) {
    if (y < Statue.ShoulderY) return 0;
    if (y < Statue.WaistY)
        return 15 - (y - Statue.ShoulderY) * 5 / (Statue.WaistY - Statue.ShoulderY);
    return 10 + (y - Statue.WaistY) * 9 / (Statue.HemY - Statue.WaistY);
}

void Body(RgbImage& p) {
    for (int32_t y = Statue.ShoulderY; y < Statue.HemY; y++) {
        int32_t cx = BodyCentre(y), half = BodyHalfWidth(y);
        // Sloping, rounded shoulders.
        int32_t below = y - Statue.ShoulderY;
        if (below < 8) half -= (8 - below) * (8 - below) / 5;
        for (int32_t x = cx - half; x <= cx + half; x++) {
            int32_t across = (x - cx) * One14 / (half + 1);
            int32_t fold = 0;
            if (y > Statue.WaistY - 12) {
                // Folds of the drapery: ripples that deepen towards the hem.
                int32_t depth = (y - Statue.WaistY + 12) * 256 / (Statue.HemY - Statue.WaistY + 12);
                fold = SinQ14((x - cx) * 5400 + y * 300) * depth / 256 * 2 / 3;
            } else if (((x - cx) - (y - Statue.ShoulderY) + 4) / 5 == 0) {
                // The sash from the left shoulder across to the right hip.
                fold = -5000;
            }
            int32_t lit = RoundLight(across + fold, 0, 60);
            SetRgb(p, x, y, Marble(x, y, lit));
        }
    }
}

template <typename Inside>
void RoundPart(RgbImage& p, int32_t x0, int32_t y0, int32_t x1, int32_t y1, const Inside& inside,
               int32_t ax, int32_t ay, int32_t bx, int32_t by, int32_t radius) {
    // Shading across a limb: its distance from the limb's axis a-b.
    auto colour = [&](int32_t x, int32_t y) {
        int64_t ux = bx - ax, uy = by - ay;
        int64_t len = ISqrt(static_cast<uint64_t>(ux * ux + uy * uy));
        if (len == 0) len = 1;
        int64_t cross = (ux * (Centre(y) - ay) - uy * (Centre(x) - ax)) / len; // sub-units
        int32_t across = static_cast<int32_t>(-cross * One14 / radius);
        return Marble(x, y, RoundLight(across, 0, 60));
    };
    PaintShape(p, x0, y0, x1, y1, inside, colour, 256);
}

void Limb(RgbImage& p, int32_t ax, int32_t ay, int32_t bx, int32_t by, int32_t radius16) {
    auto inside = [&](int32_t px, int32_t py) {
        return InCapsule(px, py, Centre(ax), Centre(ay), Centre(bx), Centre(by), radius16);
    };
    int32_t r = radius16 / Sub + 2;
    RoundPart(p, std::min(ax, bx) - r, std::min(ay, by) - r, std::max(ax, bx) + r + 1,
              std::max(ay, by) + r + 1, inside, Centre(ax), Centre(ay), Centre(bx), Centre(by),
              radius16);
}

void Head(RgbImage& p, int32_t cx, int32_t cy) {
    const int32_t fx = Centre(cx), fy = Centre(cy) - Sub / 2, rx = Sub * 15 / 2, ry = Sub * 19 / 2;
    auto inside = [&](int32_t px, int32_t py) {
        return InEllipse(px, py, fx, fy, ry, rx, FullTurn / 4);
    };
    auto colour = [&](int32_t x, int32_t y) {
        int32_t nx = (Centre(x) - fx) * One14 / rx, ny = (Centre(y) - fy) * One14 / ry;
        int64_t s = int64_t{nx} * nx + int64_t{ny} * ny;
        int32_t nz =
            s >= int64_t{One14} * One14
                ? 0
                : static_cast<int32_t>(ISqrt(static_cast<uint64_t>(int64_t{One14} * One14 - s)));
        int32_t lit = Lambert(nx, ny, nz, LightX, LightY, LightZ, 60);
        // Hair gathered up at the back of the head.
        bool hair = ny < -4000 || (nx < -9000 && ny < 6000);
        uint32_t c = Marble(x, y, lit);
        return hair ? ScaleRgb(c, 200 + static_cast<int32_t>((HashPoint(x, y / 2, 71) >> 29) * 8))
                    : c;
    };
    PaintShape(p, cx - 9, cy - 11, cx + 10, cy + 11, inside, colour, 256);
    // The knot of hair.
    Limb(p, cx - 3, cy - 9, cx - 1, cy - 10, Sub * 7 / 2);
}

void Plinth(RgbImage& p) {
    const int32_t x0 = NicheX - 22, x1 = NicheX + 22;
    for (int32_t y = Statue.HemY; y < Statue.Base; y++)
        for (int32_t x = x0; x < x1; x++) {
            bool cap = y < Statue.HemY + 5, foot = y >= Statue.Base - 5;
            int32_t inset = (cap || foot) ? 0 : 3;
            if (x < x0 + inset || x >= x1 - inset) continue;
            int32_t face = cap    ? (y == Statue.HemY ? 300 : 230)
                           : foot ? 210
                                  : 170 + (x - x0) * 60 / (x1 - x0);
            if (y == Statue.HemY + 5 || y == Statue.Base - 6) face = 120;
            SetRgb(p, x, y, ScaleRgb(Limestone(x, y, 53), face));
        }
}

void StatueShadow(RgbImage& p) {
    // Soft shadow thrown onto the back of the niche, down and to the left.
    for (int32_t y = Statue.HeadY; y < Statue.Base; y++)
        for (int32_t x = NicheX - NicheHalf; x < NicheX + NicheHalf; x++) {
            if (!InNicheOpening(x, y, 0)) continue;
            int32_t hits = 0;
            for (int32_t s = 0; s < 4; s++) {
                int32_t sx = x + 7 + s, sy = y - 5 - s;
                int32_t half = BodyHalfWidth(sy);
                bool body = half > 0 && sy < Statue.HemY && sx >= BodyCentre(sy) - half &&
                            sx <= BodyCentre(sy) + half;
                int32_t hx = sx - NicheX, hy = sy - Statue.HeadY - 8;
                bool head = hx * hx * 81 + hy * hy * 49 < 49 * 81;
                if (body || head) hits++;
            }
            if (hits > 0) SetRgb(p, x, y, ScaleRgb(GetRgb(p, x, y), 256 - hits * 22));
        }
}

void Figure(RgbImage& p) {
    StatueShadow(p);
    Plinth(p);
    Limb(p, NicheX, Statue.ShoulderY - 9, NicheX, Statue.ShoulderY + 2, Sub * 9 / 2);
    Body(p);
    // Left arm hanging loose, right arm bent with the hand at the waist.
    Limb(p, NicheX - 12, Statue.ShoulderY + 6, NicheX - 16, Statue.WaistY - 4, Sub * 4);
    Limb(p, NicheX - 16, Statue.WaistY - 4, NicheX - 14, Statue.WaistY + 22, Sub * 7 / 2);
    Limb(p, NicheX - 14, Statue.WaistY + 23, NicheX - 14, Statue.WaistY + 25, Sub * 4);
    Limb(p, NicheX + 12, Statue.ShoulderY + 6, NicheX + 17, Statue.WaistY - 8, Sub * 4);
    Limb(p, NicheX + 17, Statue.WaistY - 8, NicheX + 4, Statue.WaistY, Sub * 7 / 2);
    Limb(p, NicheX + 3, Statue.WaistY, NicheX + 2, Statue.WaistY + 1, Sub * 4);
    Head(p, NicheX, Statue.HeadY + 9);
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
            int64_t s = (int64_t{dx} * One14 / c.Rx) * (int64_t{dx} * One14 / c.Rx) +
                        (int64_t{dy} * One14 / c.Ry) * (int64_t{dy} * One14 / c.Ry);
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
    Figure(p);
    Shrubs(p, rng);
    return p;
}

PalettedImage MakePlayImage() {
    return Quantize(PaintPlayScene(), 256, 12);
}
