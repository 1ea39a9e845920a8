// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/cues.h"

#include "input/buttons.h"
#include "platform/platform.h"

void PlayCue(int32_t cue) {
    // Only exactly 1 is on; any other state is silent, even for a stop.
    if (ButtonTable[BUTTON_SOUND].state != 1) return;
    switch (cue) {
    case CUE_STOP: PlatformStopSound(); break;
    case CUE_LAND: PlatformPlayWave("WAVE3"); break;
    case CUE_CLEAR: PlatformPlayWave("WAVE1"); break;
    case CUE_GAMEOVER: PlatformPlayWave("WAVE2"); break;
    default: break;
    }
}
