// The browser's side of the page's GL and GLUT: a WebGL context that draws
// what gl.cpp hands it, and the browser's events handed on to glut.cpp.
// Keys go by the character typed, as GLUT's keyboard callback takes them.
mergeInto(LibraryManager.library, {
  $web: {canvas: null, gl: null, frame: 0, pointer: [0, 0], full: false, leaving: false},

  $stop: function(text) {
    document.getElementById('failure').textContent = 'Fairground stopped: ' + text;
    throw new Error(text);
  },

  webFail__deps: ['$stop'],
  webFail: function(message) {
    stop(new TextDecoder().decode(HEAPU8.subarray(message, HEAPU8.indexOf(0, message))));
  },

  // The drawing at the size GLUT asked for, made smaller where the page has
  // not the room, or the screen in full screen; its buffer has one pixel per
  // device pixel, and GLUT's window is the buffer. GLUT reshapes once the
  // event or callback that changed it is over, as when its loop hears of a
  // window's new size.
  $fit__deps: ['$web'],
  $fit: function(reshape) {
    const canvas = web.canvas;
    let [width, height] = web.wanted;
    if (document.fullscreenElement === canvas) {
      [width, height] = [screen.width, screen.height];
    } else {
      const margin = parseFloat(getComputedStyle(document.body).marginLeft);
      const room = (have, want) => (have - 2 * margin) / want;
      const scale = Math.min(1, room(document.documentElement.clientWidth, width), room(innerHeight, height));
      [width, height] = [Math.max(1, Math.floor(width * scale)), Math.max(1, Math.floor(height * scale))];
    }
    canvas.style.width = width + 'px';
    canvas.style.height = height + 'px';
    [width, height] = [Math.round(width * devicePixelRatio), Math.round(height * devicePixelRatio)];
    if (width === canvas.width && height === canvas.height && !reshape) return;
    canvas.width = width;
    canvas.height = height;
    queueMicrotask(() => _webResized(canvas.width, canvas.height));
  },

  webCreateCanvas__deps: ['$web', '$stop', '$fit'],
  webCreateCanvas: function(width, height) {
    const canvas = web.canvas = document.getElementById('canvas');
    web.wanted = [width, height];
    fit(true);
    const gl = web.gl = canvas.getContext('webgl', {alpha: false, antialias: false});
    if (!gl) stop('this browser draws no WebGL here');
    const shader = (type, source) => {
      const s = gl.createShader(type);
      gl.shaderSource(s, source);
      gl.compileShader(s);
      return s;
    };
    const program = gl.createProgram();
    gl.attachShader(program, shader(gl.VERTEX_SHADER,
      'attribute vec4 position, front, back; varying vec4 frontColour, backColour;' +
      'void main() { gl_Position = position; frontColour = front; backColour = back; }'));
    gl.attachShader(program, shader(gl.FRAGMENT_SHADER,
      'precision highp float; varying vec4 frontColour, backColour;' +
      'void main() { gl_FragColor = gl_FrontFacing ? frontColour : backColour; }'));
    ['position', 'front', 'back'].forEach((name, i) => gl.bindAttribLocation(program, i, name));
    gl.linkProgram(program);
    gl.useProgram(program);
    // A vertex as gl.cpp hands it: its position in four floats, then its
    // front and back colours in four bytes each.
    gl.bindBuffer(gl.ARRAY_BUFFER, gl.createBuffer());
    gl.bindBuffer(gl.ELEMENT_ARRAY_BUFFER, gl.createBuffer());
    for (let i = 0; i < 3; ++i) gl.enableVertexAttribArray(i);
    gl.vertexAttribPointer(0, 4, gl.FLOAT, false, 24, 0);
    gl.vertexAttribPointer(1, 4, gl.UNSIGNED_BYTE, true, 24, 16);
    gl.vertexAttribPointer(2, 4, gl.UNSIGNED_BYTE, true, 24, 20);

    const special = {Escape: 27, Enter: 13, Backspace: 8, Tab: 9, Delete: 127};
    const where = (event) => [event.offsetX * canvas.width / canvas.clientWidth | 0,
                              event.offsetY * canvas.height / canvas.clientHeight | 0];
    const key = web.key = (code) => _webKeyboard(code, ...web.pointer);
    // Wherever the focus is, as a button keeps it once pressed.
    document.addEventListener('keydown', (event) => {
      if (event.ctrlKey || event.altKey || event.metaKey) return;  // the browser's own shortcuts
      const code = event.key.length === 1 ? event.key.charCodeAt(0) : special[event.key];
      if (code === undefined || code > 255) return;
      if (event.key !== 'Escape') event.preventDefault();
      key(code);
    });
    document.getElementById('banner').addEventListener('click', (event) => {
      if (event.target.localName === 'button') key(event.target.textContent.charCodeAt(0));
    });
    canvas.addEventListener('mousemove', (event) => { web.pointer = where(event); });
    const mouse = (state) => (event) => {
      event.preventDefault();
      canvas.focus();
      _webMouse(event.button, state, ...where(event));
    };
    canvas.addEventListener('mousedown', mouse(0));
    canvas.addEventListener('mouseup', mouse(1));
    canvas.addEventListener('contextmenu', (event) => event.preventDefault());
    // A finger is the mouse: a tap the left button, a press held still for
    // half a second the right one, whose lift then is no tap. Browsers time
    // a long press differently or not at all, so the page times it.
    let touch = null;
    const click = (button) => [0, 1].forEach((state) => _webMouse(button, state, ...touch.at));
    const untouch = () => { clearTimeout(touch.timer); touch = null; };
    canvas.addEventListener('pointerdown', (event) => {
      if (event.pointerType === 'mouse') return;
      event.preventDefault();  // no mouse events besides
      if (touch) return untouch();  // two fingers are neither
      touch = {id: event.pointerId, x: event.clientX, y: event.clientY, at: where(event)};
      touch.timer = setTimeout(() => { touch.held = true; click(2); }, 500);
    });
    canvas.addEventListener('pointermove', (event) => {
      if (touch && touch.id === event.pointerId &&
          Math.hypot(event.clientX - touch.x, event.clientY - touch.y) > 10) untouch();
    });
    canvas.addEventListener('pointerup', (event) => {
      if (!touch || touch.id !== event.pointerId) return;
      if (!touch.held) click(0);
      untouch();
    });
    canvas.addEventListener('pointercancel', () => touch && untouch());
    // A hidden page keeps no frame waiting either.
    document.addEventListener('visibilitychange', () => {
      if (web.frame) cancelAnimationFrame(web.frame);
      web.frame = 0;
      _webVisible(document.visibilityState === 'visible');
    });
    window.addEventListener('resize', () => fit(false));
    // One event for each change, which may come once the next is made
    // already: Esc right after f leaves before the page hears it entered.
    document.addEventListener('fullscreenchange', () => {
      web.full = !web.full;
      if (web.full && document.fullscreenElement !== canvas) _webScreenFilled();
      // However full screen ends, the canvas goes back to the size f gives it.
      // Ended by the browser (Esc), it counts as the f that leaves, so that
      // the program's record of full screen stays true and the next f fills
      // the screen again.
      if (!web.full) {
        web.wanted = [800, 640];
        if (!web.leaving) web.key('f'.charCodeAt(0));
        web.leaving = false;
      }
      fit(false);
    });
    canvas.focus({preventScroll: true});
  },

  webResizeCanvas__deps: ['$web', '$fit'],
  webResizeCanvas: function(width, height) {
    web.wanted = [width, height];
    fit(true);
  },

  // The key press that asks for full screen is the gesture the browser needs.
  // A refusal, or a browser with no full screen, counts as a full screen the
  // browser left at once, and the drawing stays as it is; with nothing to
  // leave, the window is framed already. Either way the program hears its
  // answer at once.
  webFullScreen__deps: ['$web', '$fit'],
  webFullScreen: function(on) {
    const canvas = web.canvas;
    if (on && !document.fullscreenElement) {
      (canvas.requestFullscreen ? canvas.requestFullscreen() : Promise.reject()).catch(() => {
        _webScreenFilled();
        web.key('f'.charCodeAt(0));
      });
    } else if (!on && document.fullscreenElement) {
      web.leaving = true;
      document.exitFullscreen().catch(() => { web.leaving = false; });
    } else {
      fit(true);
    }
  },

  webIsFullScreen__deps: ['$web'],
  webIsFullScreen: function() { return document.fullscreenElement === web.canvas; },

  webScreenSize: function(height) { return Math.round((height ? screen.height : screen.width) * devicePixelRatio); },

  webWantFrame__deps: ['$web'],
  webWantFrame: function() {
    if (web.frame || document.visibilityState !== 'visible') return;
    web.frame = requestAnimationFrame(function step() {
      web.frame = 0;
      if (_webFrame()) _webWantFrame();
    });
  },

  webStartTimer: function(milliseconds, id) { setTimeout(() => _webTimer(id), milliseconds); },

  webClear__deps: ['$web'],
  webClear: function(red, green, blue, alpha, mask) {
    web.gl.clearColor(red, green, blue, alpha);
    web.gl.clear(mask);
  },

  webViewport__deps: ['$web'],
  webViewport: function(x, y, width, height) { web.gl.viewport(x, y, width, height); },

  webDepthTest__deps: ['$web'],
  webDepthTest: function(on) { on ? web.gl.enable(web.gl.DEPTH_TEST) : web.gl.disable(web.gl.DEPTH_TEST); },

  webDraw__deps: ['$web'],
  webDraw: function(vertices, count, indices, indexCount, lines) {
    const gl = web.gl;
    gl.bufferData(gl.ARRAY_BUFFER, HEAPU8.subarray(vertices, vertices + count * 24), gl.STREAM_DRAW);
    gl.bufferData(gl.ELEMENT_ARRAY_BUFFER, HEAPU16.subarray(indices >> 1, (indices >> 1) + indexCount),
                  gl.STREAM_DRAW);
    gl.drawElements(lines ? gl.LINES : gl.TRIANGLES, indexCount, gl.UNSIGNED_SHORT, 0);
  },
});
