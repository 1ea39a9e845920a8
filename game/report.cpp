// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/report.h"

namespace {
GameReport Report{};
} // namespace

void SetGameReport(const GameReport& report) { Report = report; }

void ReportPlayScreen() {
    if (Report.PlayScreen != nullptr) Report.PlayScreen();
}
void ReportTitleScreen() {
    if (Report.TitleScreen != nullptr) Report.TitleScreen();
}
void ReportCell(int32_t column, int32_t row, int32_t arrow) {
    if (Report.Cell != nullptr) Report.Cell(column, row, arrow);
}
void ReportPair() {
    if (Report.Pair != nullptr) Report.Pair();
}
void ReportPairGone() {
    if (Report.PairGone != nullptr) Report.PairGone();
}
void ReportNextPair() {
    if (Report.NextPair != nullptr) Report.NextPair();
}
void ReportScore() {
    if (Report.Score != nullptr) Report.Score();
}
void ReportHighScore() {
    if (Report.HighScore != nullptr) Report.HighScore();
}
void ReportMessage() {
    if (Report.Message != nullptr) Report.Message();
}
void ReportButton(int32_t index, int32_t down) {
    if (Report.Button != nullptr) Report.Button(index, down);
}
void ReportSound(int32_t cue) {
    if (Report.Sound != nullptr) Report.Sound(cue);
}
