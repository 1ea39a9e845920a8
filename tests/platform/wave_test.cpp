// SPDX-License-Identifier: GPL-3.0-or-later
// Finding the samples of a wave file chunk by chunk, on files made here.
#include "platform/wave.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

void Put32(std::vector<uint8_t>& v, uint32_t x) {
    for (int i = 0; i < 4; ++i) v.push_back(static_cast<uint8_t>(x >> (8 * i)));
}

void Chunk(std::vector<uint8_t>& v, const char* id, const std::vector<uint8_t>& body) {
    v.insert(v.end(), id, id + 4);
    Put32(v, static_cast<uint32_t>(body.size()));
    v.insert(v.end(), body.begin(), body.end());
    if (body.size() % 2 != 0) v.push_back(0); // chunks keep an even size
}

std::vector<uint8_t> Format(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits) {
    std::vector<uint8_t> f;
    f.push_back(static_cast<uint8_t>(tag));
    f.push_back(static_cast<uint8_t>(tag >> 8));
    f.push_back(static_cast<uint8_t>(channels));
    f.push_back(0);
    Put32(f, rate);
    Put32(f, rate * channels * bits / 8);
    f.push_back(static_cast<uint8_t>(channels * bits / 8));
    f.push_back(0);
    f.push_back(static_cast<uint8_t>(bits));
    f.push_back(0);
    return f;
}

std::vector<uint8_t> Riff(const std::vector<uint8_t>& chunks) {
    std::vector<uint8_t> file = {'R', 'I', 'F', 'F'};
    Put32(file, static_cast<uint32_t>(chunks.size() + 4));
    file.insert(file.end(), {'W', 'A', 'V', 'E'});
    file.insert(file.end(), chunks.begin(), chunks.end());
    return file;
}

const std::vector<uint8_t> Samples = {0x80, 0x90, 0xA0, 0x70, 0x60};

TEST(WaveChunks, FindsTheSamplesPastOtherChunks) {
    // A longer format chunk, an odd-sized chunk with its pad byte, and a
    // list of names before the samples: no 44-byte header here.
    std::vector<uint8_t> chunks;
    std::vector<uint8_t> format = Format(1, 1, 11025, 8);
    format.push_back(0); // cbSize
    format.push_back(0);
    Chunk(chunks, "fmt ", format);
    Chunk(chunks, "fact", {1, 2, 3});
    Chunk(chunks, "LIST", std::vector<uint8_t>(26, 'x'));
    Chunk(chunks, "data", Samples);
    const std::vector<uint8_t> file = Riff(chunks);

    WavePcm pcm{};
    ASSERT_TRUE(FindWavePcm(file.data(), file.size(), &pcm));
    EXPECT_EQ(pcm.channels, 1);
    EXPECT_EQ(pcm.bits, 8);
    EXPECT_EQ(pcm.rate, 11025);
    ASSERT_EQ(pcm.size, Samples.size());
    EXPECT_EQ(std::memcmp(pcm.data, Samples.data(), Samples.size()), 0);
}

TEST(WaveChunks, ACutFilePlaysWhatItHas) {
    std::vector<uint8_t> chunks;
    Chunk(chunks, "fmt ", Format(1, 1, 11025, 8));
    Chunk(chunks, "data", Samples);
    std::vector<uint8_t> file = Riff(chunks);
    file.resize(file.size() - Samples.size() - 1 + 2); // two samples left, no pad byte
    WavePcm pcm{};
    ASSERT_TRUE(FindWavePcm(file.data(), file.size(), &pcm));
    EXPECT_EQ(pcm.size, 2u);
    EXPECT_EQ(pcm.data[1], Samples[1]);
}

TEST(WaveChunks, RefusesWhatIsNotPlainPcm) {
    WavePcm pcm{};
    std::vector<uint8_t> noFormat;
    Chunk(noFormat, "data", Samples);
    std::vector<uint8_t> file = Riff(noFormat);
    EXPECT_FALSE(FindWavePcm(file.data(), file.size(), &pcm)) << "samples before any format";

    std::vector<uint8_t> compressed;
    Chunk(compressed, "fmt ", Format(2, 1, 11025, 4));
    Chunk(compressed, "data", Samples);
    file = Riff(compressed);
    EXPECT_FALSE(FindWavePcm(file.data(), file.size(), &pcm));

    std::vector<uint8_t> noData;
    Chunk(noData, "fmt ", Format(1, 1, 11025, 8));
    file = Riff(noData);
    EXPECT_FALSE(FindWavePcm(file.data(), file.size(), &pcm));

    // A chunk claiming more than the file holds ends the search.
    std::vector<uint8_t> huge;
    Chunk(huge, "fmt ", Format(1, 1, 11025, 8));
    huge.insert(huge.end(), {'J', 'U', 'N', 'K', 0xFF, 0xFF, 0xFF, 0x7F});
    Chunk(huge, "data", Samples);
    file = Riff(huge);
    EXPECT_FALSE(FindWavePcm(file.data(), file.size(), &pcm));

    const std::string text = "RIFX....WAVEfmt ";
    EXPECT_FALSE(FindWavePcm(reinterpret_cast<const uint8_t*>(text.data()), text.size(), &pcm));
    EXPECT_FALSE(FindWavePcm(nullptr, 0, &pcm)) << "no resource yet";
}

} // namespace
