// SPDX-License-Identifier: GPL-3.0-or-later
// The page's side of controllers (see i_gamepad.cpp): the browser's gamepads read.
mergeInto(LibraryManager.library, {
  js_read_gamepads: function (out, max) {
    if (!navigator.getGamepads) return 0;
    var pads = navigator.getGamepads();
    var n = 0;
    for (var i = 0; pads && i < pads.length && n < max; i++) {
      var p = pads[i];
      if (!p || !p.connected) continue;
      var bits = 0;
      for (var b = 0; b < p.buttons.length && b < 17; b++) if (p.buttons[b].pressed) bits |= 1 << b;
      var at = (out >> 2) + n * 4;
      HEAP32[at] = p.index;
      HEAP32[at + 1] = bits;
      HEAP32[at + 2] = Math.round(Math.max(-1, Math.min(1, p.axes[0] || 0)) * 32767);
      HEAP32[at + 3] = Math.round(Math.max(-1, Math.min(1, p.axes[1] || 0)) * 32767);
      n++;
    }
    return n;
  },
});
