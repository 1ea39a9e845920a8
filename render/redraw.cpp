// SPDX-License-Identifier: GPL-3.0-or-later
// The whole picture drawn afresh from the state: for a screen laid out anew,
// or a game brought back. It builds what the pieces drawn at each change
// have built up, in the same order where they overlap.
#include "game/board.h"
#include "game/flow.h"
#include "input/buttons.h"
#include "render/buttons.h"
#include "render/draw.h"
#include "render/layout.h"

namespace {
// The button pressed on this tick, drawn pressed over the raised one the
// screen drew; a toggle already shows its state.
void DrawPressedButton() {
    const int32_t i = Buttons.PendingButton;
    if (Buttons.ReleasePending == 1 && IsButton(i) && !IsToggle(i)) DrawButton(i, 1);
}
} // namespace

void DrawGame() {
    Fill(Layout.BackBuffer, 0, 0, Layout.BackBuffer.Width, Layout.BackBuffer.Height, Blackness);
    if (!PlayScreenShown()) {
        DrawTitleScreen();
        // Only the title's own three buttons are on it.
        const int32_t i = Buttons.PendingButton;
        if (i == BUTTON_QUIT || i == BUTTON_OPTIONS) DrawPressedButton();
        return;
    }
    DrawPlayfield();
    DrawPressedButton();
    for (int32_t column = 0; column < BoardColumns; ++column)
        for (int32_t row = 0; row < BoardRows; ++row)
            if (BoardCell(column, row) != ARROW_NONE) DrawCell(column, row, BoardCell(column, row));
    if (PairShown()) DrawPair();
    if (Flow.NextShown != 0) DrawNextPair();
}
