// SPDX-License-Identifier: GPL-3.0-or-later
// The page's side of the event loop (see i_events.cpp): its wait and wake-up,
// and the page's pointers, touch controls, size and visibility told to the game.
mergeInto(LibraryManager.library, {
  // Waits until WakeLoop or `ms` milliseconds (-1: no limit) have passed.
  js_wait__deps: ["$Asyncify"],
  js_wait: function (ms) {
    return Asyncify.handleAsync(async function () {
      await new Promise(function (resolve) {
        var timer =
          ms >= 0
            ? setTimeout(function () {
                Module.vantleWake = null;
                resolve();
              }, ms)
            : 0;
        Module.vantleWake = function () {
          if (timer) clearTimeout(timer);
          Module.vantleWake = null;
          resolve();
        };
      });
    });
  },
  js_wake: function () {
    if (Module.vantleWake) Module.vantleWake();
  },
  // Sound may only start once the player has tapped or typed: the audio
  // output is made, or woken, inside the events that browsers count as the
  // player's own doing. A finger's pointerdown is not one of them (its
  // touchend, pointerup and click are), so a first tap would otherwise stay
  // silent; and WebKit stops a running output as "interrupted" when the
  // screen locks, to be woken by the next tap.
  js_listen: function (penFingers) {
    var canvas = document.getElementById("screen");
    function unlockAudio() {
      try {
        if (!Module.vantleAudio) {
          var Context = window.AudioContext || window.webkitAudioContext;
          if (Context) Module.vantleAudio = new Context();
        }
        var a = Module.vantleAudio;
        if (a && a.state != "running" && a.state != "closed") a.resume().catch(function () {});
      } catch (e) {}
    }
    ["keydown", "pointerdown", "pointerup", "touchend", "click", "mousedown"].forEach(function (type) {
      window.addEventListener(type, unlockAudio, true);
    });
    // Every finger is its own pen: on the canvas it takes a finger number
    // of its own (the mouse and a pen too), and slides are followed; on a
    // touch control it holds that control's key, and sliding onto another
    // control lets go of the first and presses that one.
    var fingers = {};
    var slots = [];
    function fraction(e) {
      var r = canvas.getBoundingClientRect();
      return [r.width > 0 ? (e.clientX - r.left) / r.width : 0, r.height > 0 ? (e.clientY - r.top) / r.height : 0];
    }
    function control(el) {
      for (; el && el.getAttribute; el = el.parentNode)
        if (el.getAttribute("data-key") && el.parentNode && el.parentNode.classList.contains("pad")) return el;
      return null;
    }
    // A control lets go of the key it pressed, though it may stand for
    // another by then (relabelled while a replay is watched).
    function press(button, down) {
      if (down) button.classList.add("down");
      else button.classList.remove("down");
      var key = +button.getAttribute("data-key");
      if (down) button.vantleKey = key;
      else if (button.vantleKey) key = button.vantleKey;
      _WebTouchKey(down ? 1 : 0, key);
    }
    canvas.addEventListener("pointerdown", function (e) {
      if (e.pointerType == "mouse" && e.button != 0) return;
      e.preventDefault();
      if (fingers[e.pointerId]) return;
      var slot = 0;
      while (slot < penFingers && slots[slot] !== undefined) slot++;
      if (slot == penFingers) return;
      slots[slot] = e.pointerId;
      fingers[e.pointerId] = { slot: slot, slides: e.pointerType != "mouse" };
      try {
        canvas.setPointerCapture(e.pointerId);
      } catch (x) {}
      canvas.focus();
      var f = fraction(e);
      _WebPointer(1, slot, f[0], f[1]);
    });
    var pads = document.querySelectorAll(".pad");
    for (var i = 0; i < pads.length; i++) {
      pads[i].addEventListener("pointerdown", function (e) {
        e.preventDefault();
        if (e.pointerType == "mouse" && e.button != 0) return;
        var b = control(e.target);
        if (!b || fingers[e.pointerId]) return;
        // Each finger's moves are followed across the controls, not
        // held by the one it went down on.
        try {
          e.target.releasePointerCapture(e.pointerId);
        } catch (x) {}
        fingers[e.pointerId] = { on: b };
        press(b, true);
      });
      pads[i].addEventListener("contextmenu", function (e) {
        e.preventDefault();
      });
    }
    window.addEventListener(
      "pointermove",
      function (e) {
        var f = fingers[e.pointerId];
        if (!f) return;
        if (f.slot !== undefined) {
          if (!f.slides) return;
          var p = fraction(e);
          _WebPointer(2, f.slot, p[0], p[1]);
          return;
        }
        var b = control(document.elementFromPoint(e.clientX, e.clientY));
        if (b === f.on) return;
        if (f.on) press(f.on, false);
        f.on = b;
        if (b) press(b, true);
      },
      true,
    );
    function up(e) {
      var f = fingers[e.pointerId];
      if (!f) return;
      delete fingers[e.pointerId];
      if (f.slot !== undefined) {
        slots[f.slot] = undefined;
        var p = fraction(e);
        _WebPointer(0, f.slot, p[0], p[1]);
      } else if (f.on) {
        press(f.on, false);
      }
    }
    window.addEventListener("pointerup", up, true);
    window.addEventListener("pointercancel", up, true);
    // A touch the page does not cancel makes Chromium wait to see whether
    // it becomes a scroll or a zoom, and while it waits it holds back the
    // page's timers, the game's tick among them, by up to 100 ms: every
    // touch is the game's, so it is cancelled at once (which also keeps the
    // page from zooming on a double tap).
    // The form of a dialog (js/dialog.js) and the page's offers are the
    // page's own: their taps are clicks (and the game's timer stands while
    // the dialog is open).
    function cancelTouch(e) {
      if (e.cancelable && !(e.target && e.target.closest && e.target.closest("#options, #offers"))) e.preventDefault();
    }
    window.addEventListener("touchstart", cancelTouch, { passive: false });
    window.addEventListener("touchmove", cancelTouch, { passive: false });
    canvas.addEventListener("contextmenu", function (e) {
      e.preventDefault();
    });
    canvas.addEventListener(
      "wheel",
      function (e) {
        e.preventDefault();
      },
      { passive: false },
    );
    document.addEventListener("gesturestart", function (e) {
      e.preventDefault();
    });
    window.addEventListener("resize", function () {
      _WebResized();
    });
    window.addEventListener("orientationchange", function () {
      _WebResized();
    });
    window.addEventListener("pagehide", function () {
      _WebEndSession();
    });
    window.addEventListener("blur", function () {
      _WebBlur();
    });
    document.addEventListener("visibilitychange", function () {
      var hidden = document.visibilityState == "hidden";
      _WebShown(hidden ? 0 : 1);
      if (hidden) _WebEndSession();
    });
  },
});
