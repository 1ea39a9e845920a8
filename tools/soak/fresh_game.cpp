// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/soak/fresh_game.h"

#include "game/board.h"
#include "game/flow.h"
#include "game/match.h"
#include "input/buttons.h"
#include "input/input_state.h"
#include "platform/headless/headless.h"
#include "render/layout.h"
#include "shell/app.h"

void FreshGame() {
    if (PlatformWindowAlive(MainWindow)) ReleaseScreen();
    HeadlessReset();
    MainWindow = 0;
    ResetGame();
}
