// SPDX-License-Identifier: GPL-3.0-or-later
// The game's dialog as a form of the page's own (see i_dialog.cpp): shown
// over the game on a page that can be touched, with a label a finger can
// hit for each box and large buttons, in the dialog's order. Elsewhere the
// dialog the game draws is the only one.
mergeInto(LibraryManager.library, {
  js_offer_dialog: function (text) {
    var form = document.getElementById("options");
    if (!form) return;
    var touch =
      (navigator.maxTouchPoints || 0) > 0 || (window.matchMedia && window.matchMedia("(any-pointer: coarse)").matches);
    if (!touch) return;
    var lines = UTF8ToString(text).split("\n");
    var title = lines.shift();
    // The same dialog offered again (a box changed): its boxes follow.
    if (form.style.display === "flex" && form.getAttribute("data-choices") === String(lines.length)) {
      for (var i = 0; i < lines.length; i++) {
        var f = lines[i].split("|");
        var box = form.querySelector('input[data-id="' + f[1] + '"]');
        if (box) box.checked = f[2] === "1";
      }
      return;
    }
    while (form.firstChild) form.removeChild(form.firstChild);
    form.setAttribute("data-choices", String(lines.length));
    var heading = document.createElement("h2");
    heading.textContent = title;
    form.appendChild(heading);
    var buttons = document.createElement("div");
    buttons.className = "buttons";
    lines.forEach(function (line) {
      var f = line.split("|");
      var id = +f[1];
      if (f[0] === "B") {
        var b = document.createElement("button");
        b.type = "button";
        b.textContent = f.slice(3).join("|");
        b.id = id === 1 ? "options-ok" : id === 2 ? "options-cancel" : "options-" + id;
        b.addEventListener("click", function (e) {
          e.preventDefault();
          _WebDialogCommand(id);
        });
        buttons.appendChild(b);
        return;
      }
      var label = document.createElement("label");
      var box = document.createElement("input");
      box.type = "checkbox";
      box.setAttribute("data-id", String(id));
      box.checked = f[2] === "1";
      box.addEventListener("change", function () {
        _WebDialogCheck(id, box.checked ? 1 : 0);
      });
      label.appendChild(box);
      label.appendChild(document.createTextNode(f.slice(3).join("|")));
      form.appendChild(label);
    });
    form.appendChild(buttons);
    form.style.display = "flex";
  },

  // A line beside the picture about what it shows (a replay being
  // watched); empty, none. The page learns from it that a replay is being
  // watched, and when that ends.
  js_show_status: function (text) {
    var t = UTF8ToString(text);
    var line = document.getElementById("status");
    if (line) {
      line.textContent = t;
      line.style.display = t ? "block" : "none";
    }
    if (Module.vantleStatus) Module.vantleStatus(t);
  },

  // The replay of the game just ended, and the game in progress while it
  // is paused, to take elsewhere: kept for the page's offers ("" none).
  js_offer_replay: function (code) {
    Module.vantleReplay = UTF8ToString(code);
    if (Module.vantleOffersChanged) Module.vantleOffersChanged();
  },

  js_offer_game: function (code) {
    Module.vantleGame = UTF8ToString(code);
    if (Module.vantleOffersChanged) Module.vantleOffersChanged();
  },

  js_withdraw_dialog: function () {
    var form = document.getElementById("options");
    if (!form) return;
    form.style.display = "none";
    form.removeAttribute("data-choices");
    while (form.firstChild) form.removeChild(form.firstChild);
  },
});
