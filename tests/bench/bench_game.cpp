// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/bench/bench_game.h"

#include "game/board.h"
#include "input/input_state.h"
#include "platform/headless/headless.h"
#include "render/draw.h"
#include "shell/app.h"
#include "shell/settings.h"
#include "tools/soak/fresh_game.h"

void OpenGame(int32_t windowWidth, int32_t windowHeight) {
    FreshGame();
    // A path that cannot exist: the defaults, and no file is touched.
    SetSettingsPath("/dev/null/vantle.dat");
    HeadlessSetWindowSize(windowWidth, windowHeight);
    CreateMainWindow();
    SetupTick();
}

void CloseGame() { FreshGame(); }

void SetupTick() { TimerTick(MainWindow); }

void StartPlaying() {
    OnKeyDown(VK_RETURN);
    SetupTick();
    OnKeyUp(VK_RETURN);
    SetupTick();
}

void FillWellPartly() {
    constexpr int32_t Heights[BoardColumns] = {6, 4, 3, 2, 3, 5, 7};
    for (int32_t col = 0; col < BoardColumns; ++col) {
        for (int32_t k = 0; k < Heights[col]; ++k) {
            const int32_t row = BoardRows - 1 - k;
            // Neighbours across, down and on both diagonals always differ.
            const auto arrow = static_cast<uint8_t>((col + 2 * row) % 4 + 1);
            BoardCell(col, row) = arrow;
            DrawCell(col, row, arrow);
        }
    }
}
