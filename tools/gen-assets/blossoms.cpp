// SPDX-License-Identifier: GPL-3.0-or-later
// The title picture's flowers: blossoms of five cupped, notched petals with
// their stamens, and buds.
#include "tools/gen-assets/title.h"

#include "tools/gen-assets/paint.h"

namespace title {
namespace {

struct PetalInks {
    uint32_t Heart, Body, Tip, Edge;
};

} // namespace

void Blossom(RgbImage& p, int32_t cx, int32_t cy, int32_t radius, int32_t angle0, bool pink,
             Rng& rng) {
    const PetalInks inks = pink ? PetalInks{Rgb(196, 64, 116), Rgb(236, 140, 176),
                                            Rgb(250, 204, 222), Rgb(176, 72, 118)}
                                : PetalInks{Rgb(226, 176, 196), Rgb(248, 240, 240),
                                            Rgb(255, 255, 255), Rgb(176, 160, 170)};
    const int32_t fx = Centre(cx), fy = Centre(cy), R = radius * Sub;
    for (int32_t k = 0; k < 5; k++) {
        int32_t a = angle0 + k * (FullTurn / 5) + RandomRange(rng, -1200, 1200);
        int32_t len = R * RandomRange(rng, 92, 108) / 100;
        const int32_t mu = len * 55 / 100, ha = len * 50 / 100, hb = len * 40 / 100;
        auto petal = [&](int32_t px, int32_t py, int64_t& e) {
            int32_t u = 0, v = 0;
            ToFrame(px, py, fx, fy, a, u, v);
            int64_t du = u - mu;
            e = (du * du * One14) / (int64_t{ha} * ha) +
                (int64_t{v} * v * One14) / (int64_t{hb} * hb);
            if (e > One14) return false;
            // The notch at the petal's tip.
            return !InDisc(u, v, len * 112 / 100, 0, len * 16 / 100);
        };
        auto inside = [&](int32_t px, int32_t py) {
            int64_t e = 0;
            return petal(px, py, e);
        };
        auto colour = [&](int32_t px, int32_t py) {
            int64_t e = 0;
            petal(Centre(px), Centre(py), e);
            int32_t u = 0, v = 0;
            ToFrame(Centre(px), Centre(py), fx, fy, a, u, v);
            int32_t r = u * 256 / len; // 0 at the heart, 256 at the tip
            uint32_t c = r < 90 ? MixRgb(inks.Heart, inks.Body, r * 256 / 90)
                                : MixRgb(inks.Body, inks.Tip, (r - 90) * 256 / 166);
            // Each petal cups a little: its two halves face different ways.
            int32_t t = v * One14 / hb;
            int32_t nx = (CosQ14(a) * 5000 - SinQ14(a) * t / 3) / One14;
            int32_t ny = (SinQ14(a) * 5000 + CosQ14(a) * t / 3) / One14;
            int32_t lit = Lambert(nx, ny, 14000, LightX, LightY, LightZ, 150);
            c = ScaleRgb(c, 150 + lit * 2 / 5);
            if (e > One14 * 3 / 4)
                c = MixRgb(c, inks.Edge,
                           static_cast<int32_t>((e - One14 * 3 / 4) * 256 / (One14 / 4)) * 3 / 4);
            return c;
        };
        int32_t reach = radius + 3;
        PaintShape(p, cx - reach, cy - reach, cx + reach + 1, cy + reach + 1, inside, colour, 256);
    }
    // The heart, and stamens fanning out with yellow tips.
    const uint32_t heart = pink ? Rgb(150, 40, 80) : Rgb(170, 150, 60);
    auto disc = [&](int32_t px, int32_t py) { return InDisc(px, py, fx, fy, R * 22 / 100); };
    PaintShape(
        p, cx - radius, cy - radius, cx + radius + 1, cy + radius + 1, disc,
        [&](int32_t, int32_t) { return heart; }, 256);
    for (int32_t s = 0; s < 11; s++) {
        int32_t a = angle0 + s * (FullTurn / 11) + 2000;
        int32_t reach = R * RandomRange(rng, 42, 58) / 100;
        int32_t ex = fx + reach * CosQ14(a) / One14, ey = fy + reach * SinQ14(a) / One14;
        auto filament = [&](int32_t px, int32_t py) {
            return InCapsule(px, py, fx, fy, ex, ey, Sub / 3);
        };
        PaintShape(
            p, cx - radius, cy - radius, cx + radius + 1, cy + radius + 1, filament,
            [&](int32_t, int32_t) { return pink ? Rgb(250, 214, 226) : Rgb(240, 236, 220); }, 200);
        auto anther = [&](int32_t px, int32_t py) { return InDisc(px, py, ex, ey, Sub); };
        PaintShape(
            p, cx - radius, cy - radius, cx + radius + 1, cy + radius + 1, anther,
            [&](int32_t, int32_t) { return Rgb(238, 200, 70); }, 256);
    }
}

void Bud(RgbImage& p, int32_t cx, int32_t cy, int32_t angle) {
    const int32_t fx = Centre(cx), fy = Centre(cy);
    auto inside = [&](int32_t px, int32_t py) {
        return InEllipse(px, py, fx, fy, Sub * 3, Sub * 2, angle);
    };
    auto colour = [&](int32_t px, int32_t py) {
        int32_t u = 0, v = 0;
        ToFrame(Centre(px), Centre(py), fx, fy, angle, u, v);
        return MixRgb(Rgb(230, 120, 160), Rgb(160, 40, 90), (v + Sub * 2) * 64 / Sub);
    };
    PaintShape(p, cx - 5, cy - 5, cx + 6, cy + 6, inside, colour, 256);
}

} // namespace title
