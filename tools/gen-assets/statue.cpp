// SPDX-License-Identifier: GPL-3.0-or-later
// The play picture's statue: a marble figure in a robe, standing on a
// plinth in the niche and throwing its shadow onto the niche's back.
#include "tools/gen-assets/play.h"

#include "tools/gen-assets/paint.h"

#include <algorithm>

namespace play {
namespace {

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

int32_t BodyCentre(int32_t y) { return NicheX + (y - Statue.WaistY) * 3 / 70 - 1; }

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

} // namespace

void PaintStatue(RgbImage& p) {
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

} // namespace play
