// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/gen-assets/waves.h"

#include "tools/gen-assets/fixmath.h"

namespace {

// Phase step per sample for a frequency in thousandths of a hertz; the phase
// is a 32-bit fraction of a turn.
uint32_t PhaseStep(int64_t milliHertz) {
    return static_cast<uint32_t>((milliHertz << 32) / (int64_t{WaveRate} * 1000));
}

int32_t SineAt(uint32_t phase) { return SinQ14(static_cast<int32_t>(phase >> 16)); }

// An exponential fall: each sample loses 1/timeConstant of what is left.
// Levels are in 1/2^24.
constexpr int64_t FullLevel = int64_t{1} << 24;
int64_t Decay(int64_t level, int64_t timeConstant) { return level - level / timeConstant; }

// Silence at both ends: a short rise at the start, a longer fall at the end,
// so the first and last samples are exactly 128 and nothing clicks.
std::vector<uint8_t> ToSamples(const std::vector<int32_t>& mix, int32_t rise, int32_t fall) {
    const int32_t n = static_cast<int32_t>(mix.size());
    std::vector<uint8_t> out(mix.size());
    for (int32_t i = 0; i < n; i++) {
        int64_t v = mix[static_cast<size_t>(i)]; // -128..127 scaled by 2^14
        if (i < rise) v = v * i / rise;
        if (n - 1 - i < fall) v = v * (n - 1 - i) / fall;
        int64_t s = 128 + (v >= 0 ? (v + 8192) >> 14 : -((-v + 8192) >> 14));
        out[static_cast<size_t>(i)] = static_cast<uint8_t>(s < 0 ? 0 : s > 255 ? 255 : s);
    }
    return out;
}

Bytes RiffWave(const std::vector<uint8_t>& samples) {
    Bytes out;
    const uint32_t size = static_cast<uint32_t>(samples.size());
    PutTag(out, "RIFF");
    PutU32(out, 4 + 8 + 16 + 8 + size + (size & 1u));
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    PutU32(out, 16);
    PutU16(out, 1); // PCM
    PutU16(out, 1); // mono
    PutU32(out, WaveRate);
    PutU32(out, WaveRate); // bytes per second
    PutU16(out, 1);        // block align
    PutU16(out, 8);        // bits per sample
    PutTag(out, "data");
    PutU32(out, size);
    out.insert(out.end(), samples.begin(), samples.end());
    if (size & 1u) PutU8(out, 0); // chunks end on an even byte
    return out;
}

// A struck bell-like note: fundamental with a little of its octave and
// twelfth, falling away with the given time constant.
struct Bell {
    int32_t Start;
    int64_t MilliHertz;
    int64_t TimeConstant;
    int32_t Loudness; // peak, in sample steps
};

void AddBell(std::vector<int32_t>& mix, const Bell& b) {
    uint32_t phase = 0, step = PhaseStep(b.MilliHertz);
    int64_t level = FullLevel;
    for (size_t i = static_cast<size_t>(b.Start); i < mix.size(); i++) {
        int64_t tone = SineAt(phase) * 10 + SineAt(phase * 2) * 3 + SineAt(phase * 3) * 1;
        // The first 30 samples of the strike rise instead of jumping.
        int64_t attack = static_cast<int64_t>(i) - b.Start;
        int64_t rise = attack < 30 ? attack * FullLevel / 30 : FullLevel;
        int64_t amplitude = (level >> 12) * (rise >> 12) >> 12; // 0..4096
        mix[i] += static_cast<int32_t>(tone * b.Loudness * amplitude / (14 * 4096));
        phase += step;
        level = Decay(level, b.TimeConstant);
    }
}

std::vector<uint8_t> ChimeSamples() {
    std::vector<int32_t> mix(2205, 0);
    // E6 then A6, the second note a sixteenth later and ringing longer.
    AddBell(mix, {0, 1318510, 600, 52});
    AddBell(mix, {640, 1760000, 800, 58});
    return ToSamples(mix, 24, 240);
}

std::vector<uint8_t> GameOverSamples() {
    std::vector<int32_t> mix(9702, 0);
    // G5, E5, C5, each 0.16 s, then G4 sliding down to E4 for the rest:
    // a hollow, clarinet-like tone of odd harmonics.
    struct Note {
        int32_t Start, Length;
        int64_t FromMilliHertz, ToMilliHertz;
    };
    const Note notes[4] = {{0, 1764, 783991, 783991},
                           {1764, 1764, 659255, 659255},
                           {3528, 1764, 523251, 523251},
                           {5292, 4410, 391995, 329628}};
    for (const Note& note : notes) {
        uint32_t phase = 0;
        int64_t level = FullLevel;
        for (int32_t i = 0; i < note.Length; i++) {
            int64_t f =
                note.FromMilliHertz + (note.ToMilliHertz - note.FromMilliHertz) * i / note.Length;
            int64_t tone = SineAt(phase) * 12 + SineAt(phase * 3) * 4 + SineAt(phase * 5) * 2;
            // Each note swells in over 80 samples and lets go over its last 120.
            int64_t shape = i < 80 ? i * 4096 / 80 : 4096;
            if (note.Length - i < 120) shape = shape * (note.Length - i) / 120;
            int64_t amplitude = (level >> 12) * shape >> 12;
            mix[static_cast<size_t>(note.Start + i)] +=
                static_cast<int32_t>(tone * 72 * amplitude / (18 * 4096));
            phase += PhaseStep(f);
            level = Decay(level, note.Length == 1764 ? 2600 : 3800);
        }
    }
    return ToSamples(mix, 24, 400);
}

std::vector<uint8_t> ThudSamples() {
    std::vector<int32_t> mix(1102, 0);
    // A low sine falling from 170 Hz to 55 Hz, with a breath of soft noise
    // in the first few milliseconds for the contact.
    uint32_t phase = 0;
    int64_t level = FullLevel;
    Rng rng{0x7A11D00Du};
    int32_t noise = 0;
    for (size_t i = 0; i < mix.size(); i++) {
        int64_t t = static_cast<int64_t>(i);
        int64_t f = 55000 + 115000 * 300 / (300 + t);
        int64_t tone = SineAt(phase);
        // Smoothed noise: each step moves a quarter of the way to a new value.
        int32_t target = static_cast<int32_t>(NextRandom(rng) >> 18) - 8192;
        noise += (target - noise) / 4;
        int64_t noiseLevel = t < 120 ? (120 - t) : 0;
        int64_t amplitude = level >> 12; // 0..4096
        int64_t v = tone * 70 * amplitude / 4096 + noise * noiseLevel * 30 / 120;
        mix[i] = static_cast<int32_t>(v);
        phase += PhaseStep(f);
        level = Decay(level, 260);
    }
    return ToSamples(mix, 12, 300);
}

} // namespace

Bytes ChimeWave() { return RiffWave(ChimeSamples()); }
Bytes GameOverWave() { return RiffWave(GameOverSamples()); }
Bytes ThudWave() { return RiffWave(ThudSamples()); }
