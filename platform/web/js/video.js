// SPDX-License-Identifier: GPL-3.0-or-later
// The page's side of the window (see i_video.cpp): the page laid out around
// the canvas, the picture put on it, the title, the screen kept lit.
mergeInto(LibraryManager.library, {
  // Places the canvas and the touch controls for the page's size: the
  // picture's shape (portrait when the safe area is taller than wide, square
  // included), as large as fits, centred, on whole device pixels. Gives 1
  // for portrait, 0 for landscape; the canvas's device pixels are kept for
  // js_canvas_size.
  js_lay_out_page: function () {
    var c = document.getElementById("screen");
    var ratio = window.devicePixelRatio || 1;
    var inset = { top: 0, right: 0, bottom: 0, left: 0 };
    var probe = document.getElementById("safe");
    if (probe) {
      var cs = getComputedStyle(probe);
      inset = {
        top: parseFloat(cs.paddingTop) || 0,
        right: parseFloat(cs.paddingRight) || 0,
        bottom: parseFloat(cs.paddingBottom) || 0,
        left: parseFloat(cs.paddingLeft) || 0,
      };
    }
    var pageW = document.documentElement.clientWidth || window.innerWidth;
    var pageH = document.documentElement.clientHeight || window.innerHeight;
    var x0 = inset.left,
      y0 = inset.top;
    var w = Math.max(1, pageW - inset.left - inset.right);
    var h = Math.max(1, pageH - inset.top - inset.bottom);
    var portrait = h >= w;
    var pw = portrait ? 240 : 320,
      ph = portrait ? 320 : 240;
    // Device pixels, so that the picture's edges fall on the device's.
    var dw = Math.floor(w * ratio),
      dh = Math.floor(h * ratio);
    var cw = dw,
      ch = Math.floor((dw * ph) / pw);
    if (ch > dh) {
      ch = dh;
      cw = Math.floor((dh * pw) / ph);
    }
    cw = Math.max(1, cw);
    ch = Math.max(1, ch);
    var left = Math.round((x0 + (w - cw / ratio) / 2) * ratio) / ratio;
    var top = Math.round((y0 + (h - ch / ratio) / 2) * ratio) / ratio;
    c.style.left = left + "px";
    c.style.top = top + "px";
    c.style.width = cw / ratio + "px";
    c.style.height = ch / ratio + "px";
    Module.vantleCanvasSize = [cw, ch];

    // The touch controls: two pads, beside the picture in landscape (one
    // for each thumb), side by side below it in portrait; only on a page
    // that can be touched, and only in a band large enough for them.
    var touch =
      (navigator.maxTouchPoints || 0) > 0 || (window.matchMedia && window.matchMedia("(any-pointer: coarse)").matches);
    var move = document.getElementById("pad-move"),
      turn = document.getElementById("pad-turn");
    if (!move || !turn) return portrait ? 1 : 0;
    var place = function (pad, l, t, pw2, ph2) {
      var show = touch && pw2 >= 100 && ph2 >= 100;
      pad.style.display = show ? "grid" : "none";
      if (!show) return;
      pad.style.left = l + "px";
      pad.style.top = t + "px";
      pad.style.width = pw2 + "px";
      pad.style.height = ph2 + "px";
    };
    var picW = cw / ratio,
      picH = ch / ratio;
    if (portrait) {
      var bandTop = top + picH,
        band = y0 + h - bandTop;
      var height = Math.min(band, 200);
      place(move, x0, bandTop + band - height, w / 2, height);
      place(turn, x0 + w / 2, bandTop + band - height, w / 2, height);
    } else {
      var leftBand = left - x0,
        rightBand = x0 + w - (left + picW);
      var bandW = Math.min(leftBand, rightBand, 240);
      var padH = Math.min(h, 320);
      place(move, left - bandW, y0 + h - padH, bandW, padH);
      place(turn, left + picW, y0 + h - padH, bandW, padH);
    }
    // The page's offers go where the picture and the controls leave room.
    if (Module.vantleLaidOut) Module.vantleLaidOut();
    return portrait ? 1 : 0;
  },
  // The canvas's size in device pixels, as last placed.
  js_canvas_size: function (width, height) {
    var s = Module.vantleCanvasSize || [1, 1];
    HEAP32[width >> 2] = s[0];
    HEAP32[height >> 2] = s[1];
  },
  js_set_title: function (title) {
    document.title = UTF8ToString(title);
  },
  // Sizes the canvas's own pixels (which clears it) and keeps its context.
  js_resize_canvas: function (width, height) {
    var c = document.getElementById("screen");
    if (c.width != width) c.width = width;
    if (c.height != height) c.height = height;
    Module.vantleContext = c.getContext("2d", { alpha: false });
    Module.vantleContext.imageSmoothingEnabled = false;
  },
  js_put_rows: function (pixels, width, top, rows) {
    var g = Module.vantleContext;
    if (!g) return;
    var bytes = new Uint8ClampedArray(HEAPU8.buffer, pixels + top * width * 4, width * rows * 4);
    g.putImageData(new ImageData(bytes, width, rows), 0, top);
  },
  // The screen wake lock, taken while a game is played; the browser lets go
  // of it itself when the page is hidden (and the game pauses then).
  js_keep_awake: function (awake) {
    Module.vantleAwake = awake != 0;
    var held = Module.vantleWakeLock;
    if (!awake) {
      if (held && held !== "asking") held.release().catch(function () {});
      if (held !== "asking") Module.vantleWakeLock = null;
      return;
    }
    if (held || !navigator.wakeLock || document.visibilityState != "visible") return;
    Module.vantleWakeLock = "asking";
    navigator.wakeLock.request("screen").then(
      function (lock) {
        if (!Module.vantleAwake) {
          Module.vantleWakeLock = null;
          lock.release().catch(function () {});
          return;
        }
        Module.vantleWakeLock = lock;
        lock.addEventListener("release", function () {
          if (Module.vantleWakeLock === lock) Module.vantleWakeLock = null;
        });
      },
      function () {
        Module.vantleWakeLock = null;
      },
    );
  },
  js_show_ended: function () {
    var c = document.getElementById("screen");
    if (c) c.style.display = "none";
    var pads = document.querySelectorAll(".pad");
    for (var i = 0; i < pads.length; i++) pads[i].style.display = "none";
    var e = document.getElementById("ended");
    if (e) e.style.display = "flex";
    if (Module.vantleEnded) Module.vantleEnded();
  },
});
