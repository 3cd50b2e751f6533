// The browser's side of the web backend, run before the program starts (it
// is linked in with --pre-js). The C++ side (platform/web/*.cpp) calls these
// from small EM_JS functions; the page (site/index.html) holds the elements
// they fill: the canvas #screen, the dialog #message, the panel #ended, the
// notice #notice, and body.dataset.state, one of loading, running, ended or
// refused.
var QM = {
  // ------------------------------------------------------------- the page
  setState: function(state) {
    document.body.dataset.state = state;
  },

  firstPictureShown: false,
  // The first picture is on the canvas: the game runs. Marked once, for
  // measuring the time from navigation to the first picture.
  markFirstPicture: function() {
    if (QM.firstPictureShown) return;
    QM.firstPictureShown = true;
    performance.mark('quillmara-first-picture');
    if (document.body.dataset.state === 'loading') QM.setState('running');
  },

  // The game has ended (Exit, a fatal message, or it stopped): the page says
  // so and offers to play again. A refusal stays what the page shows.
  end: function(code) {
    document.body.dataset.exitCode = String(code);
    // The page stays, so what it plays must stop with the game.
    if (QM.audio.ctx && QM.audio.ctx.state !== 'closed') {
      QM.audioStopAll();
      QM.audio.ctx.close().catch(function() {});
    }
    if (document.body.dataset.state === 'refused') return;
    QM.setState('ended');
    var ended = document.getElementById('ended');
    if (ended) ended.hidden = false;
  },

  // The address asked for something that cannot be had: say why, start nothing.
  refuse: function(text) {
    var notice = document.getElementById('notice');
    if (notice) {
      notice.textContent = text;
      notice.hidden = false;
    }
    QM.setState('refused');
  },

  // The game's message box: the caption, the text and OK. Resolves once the
  // dialog is closed (OK, or Esc).
  showMessage: function(caption, text) {
    var dialog = document.getElementById('message');
    if (!dialog || typeof dialog.showModal !== 'function') return Promise.resolve();
    document.getElementById('status').hidden = true;
    document.getElementById('message-caption').textContent = caption;
    document.getElementById('message-text').textContent = text;
    return new Promise(function(resolve) {
      dialog.addEventListener('close', function() { resolve(); }, {once: true});
      dialog.showModal();
      document.getElementById('message-ok').focus();
    });
  },

  // The value of the address's parameter `name` as a malloc'd string, or 0
  // when the address has none (or no memory is left).
  addressParameter: function(name) {
    var value = new URLSearchParams(location.search).get(name);
    if (value === null) return 0;
    var size = lengthBytesUTF8(value) + 1;
    var copy = _malloc(size);
    if (copy) stringToUTF8(value, copy, size);
    return copy;
  },

  // Puts ?random=SEED in the address without reloading, so that a reload
  // plays the same board.
  nameSeedInAddress: function(seed) {
    var address = new URL(location.href);
    address.searchParams.set('random', seed);
    history.replaceState(history.state, '', address.toString());
  },

  // ---------------------------------------------------------- the waiting
  wake: null,
  // Resolves after `ms`, or at once when wakeUp is called meanwhile (a game
  // event came).
  sleep: function(ms) {
    return new Promise(function(resolve) {
      QM.wake = resolve;
      setTimeout(resolve, ms);
    }).then(function() { QM.wake = null; });
  },

  wakeUp: function() {
    if (QM.wake) QM.wake();
  },

  // ---------------------------------------------------------- screenshots
  offered: new Set(),
  // Every GAMEn.bmp of the working folder not offered yet goes to the
  // player as a download of that name.
  offerNewScreenshots: function() {
    var names;
    try {
      names = FS.readdir('.');
    } catch (e) {
      return;
    }
    names.filter(function(name) { return /^GAME[0-9]+\.bmp$/.test(name) && !QM.offered.has(name); })
      .forEach(function(name) {
        QM.offered.add(name);
        var bytes = FS.readFile(name);
        var url = URL.createObjectURL(new Blob([bytes], {type: 'image/bmp'}));
        var link = document.createElement('a');
        link.href = url;
        link.download = name;
        document.body.appendChild(link);
        link.click();
        link.remove();
        setTimeout(function() { URL.revokeObjectURL(url); }, 60000);
      });
  },

  // ---------------------------------------------------------------- images
  // The browser's own image decoder on the `size` bytes of a bitmap file at
  // `bytes`: a malloc'd block of RGBA pixels, its sides at `width` and
  // `height`; or 0 with the reason at `reason` (`reasonSize` bytes).
  decodeImage: async function(bytes, size, width, height, reason, reasonSize) {
    var why = function(e) {
      stringToUTF8('the browser cannot decode the bitmap: ' + (e && e.message ? e.message : e), reason, reasonSize);
      return 0;
    };
    var image;
    try {
      // The file's own values: no colour management, no alpha applied.
      image = await createImageBitmap(new Blob([HEAPU8.slice(bytes, bytes + size)], {type: 'image/bmp'}),
                                      {premultiplyAlpha: 'none', colorSpaceConversion: 'none'});
    } catch (e) {
      return why(e);
    }
    try {
      var context = new OffscreenCanvas(image.width, image.height).getContext('2d');
      context.drawImage(image, 0, 0);
      var pixels = context.getImageData(0, 0, image.width, image.height).data;
      var out = _malloc(pixels.length);
      if (!out) return why('no memory for the image');
      HEAPU8.set(pixels, out);
      HEAP32[width >> 2] = image.width;
      HEAP32[height >> 2] = image.height;
      return out;
    } catch (e) {
      return why(e);
    } finally {
      image.close();
    }
  },

  // ------------------------------------------------------------- the canvas
  ctx: null,
  imageData: null,  // a view of the program's RGBA picture, rebuilt when memory moves

  openCanvas: function() {
    var canvas = document.querySelector('#screen');
    if (!canvas) return false;
    QM.ctx = canvas.getContext('2d', {alpha: false});
    return QM.ctx !== null;
  },

  // Puts the `count` rectangles (x, y, width, height as int32 at `rects`) of
  // the 800x600 RGBA picture at `rgba` onto the canvas.
  present: function(rgba, rects, count) {
    var bytes = 800 * 600 * 4;
    if (!QM.imageData || QM.imageData.data.buffer !== HEAPU8.buffer || QM.imageData.data.byteOffset !== rgba)
      QM.imageData = new ImageData(new Uint8ClampedArray(HEAPU8.buffer, rgba, bytes), 800, 600);
    for (var i = 0; i < count; ++i) {
      var r = (rects >> 2) + 4 * i;
      QM.ctx.putImageData(QM.imageData, 0, 0, HEAP32[r], HEAP32[r + 1], HEAP32[r + 2], HEAP32[r + 3]);
    }
  },

  // ------------------------------------------------------------- the sound
  audio: {
    ctx: null,
    music: null,          // the looping music's source node
    musicWanted: null,    // the music to play, decoded or not yet
    buffers: new Map(),   // handle -> {buffer: AudioBuffer once decoded, ready: Promise of success}
    paths: new Map(),     // handle -> an effect's nodes and sounding voices
    decoded: new Map(),   // path -> {key, buffer}: a reload decodes nothing again
    nextId: 1,
  },

  // The one AudioContext of the page. It stays silent until the first click
  // or key, as browsers require, and then plays what was started.
  audioOpen: function() {
    var A = QM.audio;
    if (A.ctx) return true;
    var Context = window.AudioContext || window.webkitAudioContext;
    if (!Context) return false;
    try {
      A.ctx = new Context();
    } catch (e) {
      return false;
    }
    var resume = function() {
      // A context closed meanwhile (the game ended) refuses; nothing to do then.
      if (A.ctx.state === 'suspended') A.ctx.resume().catch(function() {});
    };
    window.addEventListener('pointerdown', resume, true);
    window.addEventListener('keydown', resume, true);
    return true;
  },

  // Starts decoding the sound file at `path` (the browser decodes on a
  // thread of its own): a handle, or 0 when the file cannot be read. A file
  // decoded before (a reload after the focus came back) is taken as it was.
  audioLoad: function(path) {
    var A = QM.audio;
    var bytes, key;
    try {
      var stat = FS.stat(path);
      key = stat.size + ':' + stat.mtime.getTime();
      bytes = FS.readFile(path);
    } catch (e) {
      return 0;
    }
    var sound = {buffer: null, ready: null};
    var known = A.decoded.get(path);
    if (known && known.key === key) {
      sound.buffer = known.buffer;
      sound.ready = Promise.resolve(true);
    } else {
      sound.ready = A.ctx.decodeAudioData(bytes.buffer).then(function(buffer) {
        A.decoded.set(path, {key: key, buffer: buffer});
        sound.buffer = buffer;
        if (A.musicWanted === sound) QM.startMusic(sound);
        return true;
      }, function(e) {
        err('quillmara: the browser cannot decode ' + path + ': ' + (e && e.message ? e.message : e));
        return false;
      });
    }
    var id = A.nextId++;
    A.buffers.set(id, sound);
    return id;
  },

  // True once the sound `id` is decoded, false when it cannot be.
  audioDecoded: function(id) {
    var sound = QM.audio.buffers.get(id);
    return sound ? sound.ready : Promise.resolve(false);
  },

  audioFree: function(id) {
    var A = QM.audio;
    var sound = A.buffers.get(id);
    if (sound && A.musicWanted === sound) QM.audioStopMusic();
    A.buffers.delete(id);
  },

  // Plays the music from its beginning, looping; music still being decoded
  // starts as soon as it is.
  audioPlayMusic: function(id) {
    var A = QM.audio;
    QM.audioStopMusic();
    var sound = A.buffers.get(id);
    if (!sound) return;
    A.musicWanted = sound;
    if (sound.buffer) QM.startMusic(sound);
  },

  startMusic: function(sound) {
    var A = QM.audio;
    var source = A.ctx.createBufferSource();
    source.buffer = sound.buffer;
    source.loop = true;  // the whole buffer, sample-exact: no gap at the seam
    source.connect(A.ctx.destination);
    source.start();
    A.music = source;
  },

  audioStopMusic: function() {
    var A = QM.audio;
    A.musicWanted = null;
    if (!A.music) return;
    A.music.stop();
    A.music.disconnect();
    A.music = null;
  },

  stopVoices: function(path) {
    path.voices.forEach(function(voice) { voice.stop(); });
    path.voices = [];
  },

  audioStopAll: function() {
    QM.audioStopMusic();
    QM.audio.paths.forEach(QM.stopVoices);
  },

  // An effect's own path: its voices meet in one gain per side, so a new
  // position also moves what still sounds of that effect.
  audioCreatePath: function() {
    var A = QM.audio, ctx = A.ctx;
    var input = ctx.createGain();
    // A mono file plays on both sides, as the mixer plays it.
    input.channelCount = 2;
    input.channelCountMode = 'explicit';
    input.channelInterpretation = 'speakers';
    var split = ctx.createChannelSplitter(2);
    var merge = ctx.createChannelMerger(2);
    var left = ctx.createGain(), right = ctx.createGain();
    input.connect(split);
    split.connect(left, 0);
    split.connect(right, 1);
    left.connect(merge, 0, 0);
    right.connect(merge, 0, 1);
    merge.connect(ctx.destination);
    var id = A.nextId++;
    A.paths.set(id, {input: input, left: left, right: right, nodes: [input, split, left, right, merge], voices: []});
    return id;
  },

  audioFreePath: function(id) {
    var path = QM.audio.paths.get(id);
    if (!path) return;
    QM.stopVoices(path);
    path.nodes.forEach(function(node) { node.disconnect(); });
    QM.audio.paths.delete(id);
  },

  // Starts the effect once on its path, at most `voices` at once (the oldest
  // makes way). Before the first click or key nothing starts, so nothing
  // piles up to sound all at once later.
  audioPlay: function(pathId, bufferId, leftGain, rightGain, voices) {
    var A = QM.audio;
    var path = A.paths.get(pathId), sound = A.buffers.get(bufferId);
    if (!path || !sound || !sound.buffer || A.ctx.state !== 'running') return;
    path.left.gain.value = leftGain;
    path.right.gain.value = rightGain;
    if (path.voices.length >= voices) path.voices.shift().stop();
    var source = A.ctx.createBufferSource();
    source.buffer = sound.buffer;
    source.connect(path.input);
    source.onended = function() {
      var at = path.voices.indexOf(source);
      if (at >= 0) path.voices.splice(at, 1);
      source.disconnect();
    };
    source.start();
    path.voices.push(source);
  },
};
