// SPDX-License-Identifier: GPL-3.0-or-later
// One look of an event loop, as every backend with a clock makes it: what
// to hand out at `now`, in a window system's order (posted and input
// events first, then a repaint, then a due timer), or how long to sleep.
// Ticks a timer slept through come before a posted or input event, which
// ends the sleep: input is never latched by a tick that came before it, and
// always by the next tick after it, at that tick's time.
#pragma once

#include "platform/platform.h"

// Whether the window wants a repaint now (the wish is taken by asking).
using PaintWanted = bool (*)();

// True with the event to hand out; false with
// `*wait` the milliseconds to sleep, unless an event comes first (-1: until
// one does).
bool LoopLook(uint64_t now, PaintWanted paintWanted, Event* event, int32_t* wait);
