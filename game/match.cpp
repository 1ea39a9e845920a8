// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/match.h"

#include "game/flow.h"
#include "game/report.h"
#include "platform/text.h"

#include <cstdint>
#include <cstdio>

MatchState Match;

namespace {

uint8_t& Count(int32_t column, int32_t row) { return Match.Map[column * BoardRows + row]; }

// Adds one to the four cells of a line from (col, row) stepping (dc, dr) if
// they all hold arrow a.
void MarkLine(int32_t col, int32_t row, int32_t dc, int32_t dr, uint8_t a) {
    for (int32_t k = 1; k < 4; ++k)
        if (BoardCell(col + k * dc, row + k * dr) != a) return;
    for (int32_t k = 0; k < 4; ++k) Count(col + k * dc, row + k * dr)++;
}
} // namespace

void ResetMatchState() { Match = MatchState{}; }

void ShowMessage(const char* text) {
    CopyText(Match.Message, text);
    ReportMessage();
}

void MarkMatches() {
    // Each line is found once, from its topmost (for a row, leftmost) cell; a
    // run of n equal arrows counts as n - 3 overlapping lines.
    for (int32_t row = 0; row < BoardRows; ++row) {
        for (int32_t col = 0; col < BoardColumns; ++col) {
            const uint8_t a = BoardCell(col, row);
            if (a == 0) continue;
            if (col <= 3) MarkLine(col, row, 1, 0, a);
            if (row <= 9) MarkLine(col, row, 0, 1, a);
            if (col <= 3 && row <= 9) MarkLine(col, row, 1, 1, a);
            if (col >= 3 && row <= 9) MarkLine(col, row, -1, 1, a);
        }
    }
}

void ClearMatches() {
    for (int32_t row = 0; row < BoardRows; ++row) {
        for (int32_t col = 0; col < BoardColumns; ++col) {
            uint8_t& count = Count(col, row);
            if (count == 0) continue;
            Match.PassPoints += count;
            count = 0;
            BoardCell(col, row) = 0;
            ReportCell(col, row, ARROW_NONE);
        }
    }
}

void ApplyGravity() {
    for (int32_t col = 0; col < BoardColumns; ++col) {
        // The lowest empty cell; row 0 is not looked at, since nothing can
        // fall into it.
        for (int32_t row = BoardRows - 1; row >= 1; --row) {
            if (BoardCell(col, row) == 0) {
                CollapseColumn(col, row);
                break;
            }
        }
    }
}

void CollapseColumn(int32_t column, int32_t row) {
    int32_t target = row;
    for (int32_t n = row - 1; n >= 0; --n) {
        const uint8_t arrow = BoardCell(column, n);
        if (arrow == 0) continue;
        BoardCell(column, target) = arrow;
        ReportCell(column, target, arrow);
        BoardCell(column, n) = 0;
        ReportCell(column, n, ARROW_NONE);
        --target;
    }
}

void ScorePass() {
    if (Match.PassPoints == 0) return;
    PlaySound(CUE_CLEAR);
    Match.ChainCount++;
    Match.PassPoints *= Match.ChainCount;
    Match.ChainTotal += Match.PassPoints;
    char text[16];
    std::snprintf(text, sizeof text, "%d pt", Match.ChainTotal);
    Match.MessageTimer = MessageTicks;
    ShowMessage(text);
    // The score stops at the largest value it can hold instead of wrapping
    // round to a negative one.
    Board.Score =
        Match.PassPoints > INT32_MAX - Board.Score ? INT32_MAX : Board.Score + Match.PassPoints;
}
