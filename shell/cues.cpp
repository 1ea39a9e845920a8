// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/cues.h"

#include "platform/platform.h"

void PlayCue(int32_t cue) {
    switch (cue) {
    case CUE_STOP: PlatformStopSound(); break;
    case CUE_LAND: PlatformPlayWave("WAVE3"); break;
    case CUE_CLEAR: PlatformPlayWave("WAVE1"); break;
    case CUE_GAMEOVER: PlatformPlayWave("WAVE2"); break;
    default: break;
    }
}
