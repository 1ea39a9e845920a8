// SPDX-License-Identifier: GPL-3.0-or-later
// The page's side of sound (see i_sound.cpp): waves played through Web Audio.
mergeInto(LibraryManager.library, {
  js_audio_ready: function () {
    var a = Module.vantleAudio;
    return a && a.state == "running" ? 1 : 0;
  },
  // Plays the samples (kept by name once converted) and waits for their end;
  // never longer than the sound could take, should the output stall.
  js_play_wave__deps: ["$Asyncify"],
  js_play_wave: function (name, data, size, rate) {
    return Asyncify.handleAsync(async function () {
      var a = Module.vantleAudio;
      if (!a) return;
      var waves = Module.vantleWaves || (Module.vantleWaves = {});
      var key = UTF8ToString(name);
      var buffer = waves[key];
      try {
        if (!buffer) {
          buffer = a.createBuffer(1, size, rate);
          var samples = buffer.getChannelData(0);
          for (var i = 0; i < size; i++) samples[i] = (HEAPU8[data + i] - 128) / 128;
          waves[key] = buffer;
        }
        await new Promise(function (resolve) {
          var source = a.createBufferSource();
          var ended = false;
          function end() {
            if (ended) return;
            ended = true;
            Module.vantleSound = null;
            resolve();
          }
          source.buffer = buffer;
          source.connect(a.destination);
          source.onended = end;
          Module.vantleSound = { source: source, end: end };
          setTimeout(end, buffer.duration * 1000 + 250);
          source.start();
        });
      } catch (e) {}
    });
  },
  js_stop_sound: function () {
    var s = Module.vantleSound;
    if (!s) return;
    try {
      s.source.stop();
    } catch (e) {}
    s.end();
  },
});
