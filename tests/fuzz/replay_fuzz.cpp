// SPDX-License-Identifier: GPL-3.0-or-later
// The replay reader against any text, and against any bytes made into a
// code with a good checksum (so that changes reach past the CRC-32 to the
// form and the moves): a code is taken or refused with one of the reasons,
// and a replay taken plays, a capped number of ticks, every state it goes
// through one that keeps the rules and that a saved game could hold. Played
// again from a place told halfway, with the game as it stood there, it goes
// through the same states.
#include "game/flow.h"
#include "game/replay.h"
#include "game/snapshot.h"
#include "platform/base64.h"
#include "platform/bytes.h"
#include "platform/headless/headless.h"
#include "render/draw.h"
#include "shell/app.h"
#include "shell/saved_game.h"
#include "shell/settings.h"
#include "tools/soak/fresh_game.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {
constexpr uint32_t MaxTicksPerInput = 800;

void Check(bool ok) {
    if (!ok) __builtin_trap();
}

// The replay's checksum (CRC-32, as zlib's), made here so that the fuzzer
// does not lean on where the game keeps its own.
uint32_t Checksum(const uint8_t* bytes, size_t size) {
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) {
        crc ^= bytes[i];
        for (int32_t k = 0; k < 8; ++k) crc = (crc & 1u) != 0 ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
    }
    return ~crc;
}

// The rules' own checks hold for the game as a tick left it, and a game in
// progress is one that could be kept and taken back.
void CheckKeepable() {
    Check(GameFault() == nullptr);
    static uint8_t bytes[SnapshotSize];
    if (EncodeGame(bytes) != 0) Check(GameBytesValid(bytes, SnapshotSize));
}

// Plays up to `ticks` ticks of the loaded replay, noting each state.
void Play(uint32_t ticks, std::vector<uint32_t>* states) {
    for (uint32_t i = 0; i < ticks && ReplayStep(); ++i) {
        GameTick();
        CheckKeepable();
        if (states != nullptr) states->push_back(GameDigest());
    }
}

void LoadAndPlay(const char* text, size_t length) {
    FreshGame();
    SetSettingsPath("");
    SetGamePath("");
    Check(CreateMainWindow() == 1);
    const int32_t loaded = ReplayLoad(text, length);
    Check(loaded >= REPLAY_LOADED && loaded <= REPLAY_DAMAGED);
    Check(ReplayLoadProblem(loaded) != nullptr);
    if (loaded != REPLAY_LOADED) {
        FreshGame();
        return;
    }
    CheckKeepable();
    DrawGame();
    const uint32_t total = ReplayLength();
    const uint32_t cap = total < MaxTicksPerInput ? total : MaxTicksPerInput;
    const uint32_t half = cap / 2;
    std::vector<uint32_t> first;
    Play(half, &first);
    Check(ReplayPlayed() == first.size());
    static GameCopy copy;
    CopyGame(&copy);
    ReplayPlace place;
    ReplayTell(&place);
    const uint32_t rest = cap - static_cast<uint32_t>(first.size());
    Play(rest, &first);
    if (ReplayPlayed() == total) {
        Check(!ReplayStep());
        ReplayEndsRight();
    }

    // From the place told, with the game as it was there.
    RestoreGame(copy);
    ReplaySeek(place);
    std::vector<uint32_t> again(first.begin(), first.begin() + half);
    Play(rest, &again);
    Check(again == first);
    // And from the start.
    ReplayRewind();
    Check(ReplayPlayed() == 0);
    std::vector<uint32_t> third;
    Play(half, &third);
    Check(std::equal(third.begin(), third.end(), first.begin()));
    FreshGame();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The input as a code.
    LoadAndPlay(reinterpret_cast<const char*>(data), size);

    // The input's bytes (a code's, where it is one) with the checksum made
    // right, as a code.
    static uint8_t bytes[ReplayMaxBytes + 8];
    int32_t n = Base64Decode(reinterpret_cast<const char*>(data), size, bytes, ReplayMaxBytes);
    if (n < 0) {
        if (size > static_cast<size_t>(ReplayMaxBytes)) return 0;
        std::memcpy(bytes, data, size);
        n = static_cast<int32_t>(size);
    }
    if (n < 4) return 0;
    WriteLe32(bytes + n - 4, Checksum(bytes, static_cast<size_t>(n) - 4));
    static char text[ReplayMaxText + 8];
    Check(Base64Encode(bytes, static_cast<size_t>(n), text, sizeof text));
    LoadAndPlay(text, std::strlen(text));
    return 0;
}
