#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes a vantle-sim script of a long game played as a patient player would.

Each pair is placed where it clears the most and leaves the well lowest: the
script so far is run by vantle-sim, its state read, the pair turned, moved and
dropped, and the ticks until the next pair counted from the states that
follow. The script it writes ends with the game still in play.

With --half-second it plays as a player who presses a key and lets it go
every half second, no more and no less: each press turns the pair, moves it
or pushes it a row down, whichever brings it nearer its place.

Usage: bot.py VANTLE_SIM TICKS [TITLE_TICKS] > long.sim
       bot.py --half-second VANTLE_SIM MINUTES [TITLE_TICKS] > ten-minutes.sim
"""
import json
import os
import subprocess
import sys
import tempfile

COLUMNS, ROWS = 7, 13
LEFT, UP, RIGHT, DOWN, ENTER = 37, 38, 39, 40, 13


def turn(arrow, times):
    return (arrow - 1 + times) % 4 + 1


def board_of(state):
    # state["board"] is row by row, top first; here column by column.
    rows = state["board"]
    return [[int(rows[r][c]) for r in range(ROWS)] for c in range(COLUMNS)]


def top_of(column):
    for r in range(ROWS):
        if column[r] != 0:
            return r
    return ROWS


def resolve(cells):
    """Clears lines of four, lets the arrows above fall, again; the cells cleared."""
    cleared = 0
    while True:
        marked = set()
        for c in range(COLUMNS):
            for r in range(ROWS):
                a = cells[c][r]
                if a == 0:
                    continue
                for dc, dr in ((1, 0), (0, 1), (1, 1), (-1, 1)):
                    line = [(c + k * dc, r + k * dr) for k in range(4)]
                    if all(0 <= x < COLUMNS and 0 <= y < ROWS and cells[x][y] == a for x, y in line):
                        marked.update(line)
        if not marked:
            return cleared
        cleared += len(marked)
        for x, y in marked:
            cells[x][y] = 0
        for c in range(COLUMNS):
            kept = [a for a in cells[c] if a != 0]
            cells[c] = [0] * (ROWS - len(kept)) + kept


def placements(cells, top, bottom):
    """Every place and turn for a pair reachable from column 3: (column, turns, well after, cleared)."""
    for column in range(COLUMNS):
        # The way from column 3 must be open above the pair's two rows.
        lo, hi = min(3, column), max(3, column)
        if any(top_of(cells[c]) < 3 for c in range(lo, hi + 1)):
            continue
        for turns in range(4):
            trial = [list(col) for col in cells]
            land = top_of(trial[column])
            if land < 2:
                continue
            trial[column][land - 1] = turn(bottom, turns)
            trial[column][land - 2] = turn(top, turns)
            yield column, turns, trial, resolve(trial)


def judge(cells):
    """How good a well is to play on: low and even, with equal arrows side by side."""
    heights = [ROWS - top_of(col) for col in cells]
    bumps = sum(abs(heights[c] - heights[c + 1]) for c in range(COLUMNS - 1))
    near = 0
    for c in range(COLUMNS):
        for r in range(ROWS):
            a = cells[c][r]
            if a == 0:
                continue
            for dc, dr in ((1, 0), (0, 1), (1, 1), (-1, 1)):
                x, y = c + dc, r + dr
                if 0 <= x < COLUMNS and 0 <= y < ROWS and cells[x][y] == a:
                    near += 1
    return -10 * max(heights) - 3 * sum(heights) - 2 * bumps + 2 * near


def choose(state):
    """The place for the pair, looking at the next pair too: (score, column, turns) or None."""
    cells = board_of(state)
    top, bottom = state["pair"][2], state["pair"][3]
    following = state["next"]
    best = None
    for column, turns, trial, cleared in placements(cells, top, bottom):
        after = None
        for _, _, trial2, cleared2 in placements(trial, following[0], following[1]):
            value = 40 * cleared2 + judge(trial2)
            if after is None or value > after:
                after = value
        if after is None:
            after = -10000
        score = 40 * cleared + after - turns - abs(column - 3)
        if best is None or score > best[0]:
            best = (score, column, turns)
    return best


def run(sim, script, folder):
    path = os.path.join(folder, "bot.sim")
    with open(path, "w") as f:
        f.write(script)
    for name in ("vantle.dat", "vantle.sav"):
        try:
            os.unlink(os.path.join(folder, name))
        except FileNotFoundError:
            pass
    out = subprocess.run([sim, "--settings", os.path.join(folder, "vantle.dat"), path],
                         check=True, capture_output=True, text=True).stdout
    return [json.loads(line) for line in out.splitlines()]


def press(key):
    return f"down {key}\ntick\nup {key}\ntick\n"


def scratch_folder():
    # The runs keep the game at each new pair, synced to the disk: in memory
    # where there is such a folder.
    return tempfile.TemporaryDirectory(dir="/dev/shm" if os.path.isdir("/dev/shm") else None)


TICK_MS = 70


def half_second(sim, minutes, title):
    script = f"tick {title}\ndown {ENTER}\ntick\nup {ENTER}\n"
    start = title + 1
    end = start + minutes * 60 * 1000 // TICK_MS
    t, n, pairs = start, 0, 0
    target = None  # the place and arrows chosen for the pair in play
    row = 0  # its row when last seen
    with scratch_folder() as folder:
        while True:
            # The next press half a second after the last, to the tick.
            n += 1
            at = start + n * 500 // TICK_MS
            if at > end:
                break
            state = run(sim, script + "state\n", folder)[-1]
            if state["mode"] in (0, 3):
                sys.exit(f"bot.py: the game ended after {t} ticks: {state['board']}")
            key = DOWN
            # A pair is new once the last has locked: a landing seen, or a
            # pair higher than the last one was (a landing between looks).
            if state["mode"] != 1 or state["pair"][1] < row:
                target = None
            row = state["pair"][1] if state["mode"] == 1 else 0
            if state["mode"] == 1:
                if target is None:
                    choice = choose(state)
                    if choice is None:
                        sys.exit(f"bot.py: no room for a pair after {t} ticks: {state['board']}")
                    _, column, turns = choice
                    target = (column, turn(state["pair"][2], turns))
                    pairs += 1
                column, top = target
                if state["pair"][2] != top:
                    key = UP
                elif state["pair"][0] != column:
                    key = LEFT if column < state["pair"][0] else RIGHT
            script += f"down {key}\ntick\nup {key}\n"
            if at - t > 1:
                script += f"tick {at - t - 1}\n"
            t = at
    sys.stdout.write(script)
    sys.stderr.write(f"bot.py: {pairs} pairs and {n - 1} presses in {t} ticks\n")


def main():
    if sys.argv[1] == "--half-second":
        title = int(sys.argv[4]) if len(sys.argv) > 4 else 2
        half_second(sys.argv[2], int(sys.argv[3]), title)
        return
    sim, ticks = sys.argv[1], int(sys.argv[2])
    title = int(sys.argv[3]) if len(sys.argv) > 3 else 2
    script = f"tick {title}\ndown {ENTER}\ntick\nup {ENTER}\n"
    played = title + 1
    n = 0
    with scratch_folder() as folder:
        while played < ticks:
            state = run(sim, script + "state\n", folder)[-1]
            if state["mode"] != 1:
                sys.exit(f"bot.py: the game ended after {played} ticks")
            n += 1
            choice = choose(state)
            if choice is None:
                sys.exit(f"bot.py: no room for a pair after {played} ticks: {state['board']}")
            _, column, turns = choice
            # A moment to think: the pair falls meanwhile.
            wait = (n * 7) % 13
            step = f"tick {wait}\n" if wait else ""
            step += press(UP) * turns
            step += press(LEFT if column < 3 else RIGHT) * abs(column - 3)
            # Down held until the pair locks, then up; then ticks until the
            # next pair is in play at the top.
            step += f"down {DOWN}\n"
            probe = step + "tick\nstate\n" * 120
            states = run(sim, script + probe, folder)
            held = None
            for i, s in enumerate(states):
                if held is None and s["mode"] != 1:
                    held = i + 1
                if held is not None and s["mode"] == 1 and s["pair"][1] == 0:
                    script += step + f"tick {held}\nup {DOWN}\n"
                    if i + 1 > held:
                        script += f"tick {i + 1 - held}\n"
                    played += wait + 4 * turns + 2 * abs(column - 3) + i + 1
                    break
                if s["mode"] in (0, 3):
                    sys.exit(f"bot.py: the game ended after {played} ticks: {state['board']} "
                             f"{state['pair']} column {column} turns {turns}")
            else:
                sys.exit(f"bot.py: no next pair after {played} ticks")
    sys.stdout.write(script)
    sys.stderr.write(f"bot.py: {n} pairs in {played} ticks\n")


if __name__ == "__main__":
    main()
