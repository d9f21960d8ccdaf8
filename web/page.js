// The browser's side of the page's GL and GLUT: a WebGL context that draws
// what gl.cpp hands it, and the browser's events handed on to glut.cpp.
// Keys go by the character typed, as GLUT's keyboard callback takes them.
mergeInto(LibraryManager.library, {
  $web: {canvas: null, gl: null, frame: 0, pointer: [0, 0], leaving: false},

  $stop: function(text) {
    document.getElementById('failure').textContent = 'Fairground stopped: ' + text;
    throw new Error(text);
  },

  webFail__deps: ['$stop'],
  webFail: function(message) {
    stop(new TextDecoder().decode(HEAPU8.subarray(message, HEAPU8.indexOf(0, message))));
  },

  webCreateCanvas__deps: ['$web', '$stop', 'webResizeCanvas'],
  webCreateCanvas: function(width, height) {
    const canvas = web.canvas = document.getElementById('canvas');
    canvas.width = width;
    canvas.height = height;
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
    const where = (event) => [event.offsetX | 0, event.offsetY | 0];
    canvas.addEventListener('keydown', (event) => {
      if (event.ctrlKey || event.altKey || event.metaKey) return;  // the browser's own shortcuts
      const key = event.key.length === 1 ? event.key.charCodeAt(0) : special[event.key];
      if (key === undefined || key > 255) return;
      if (event.key !== 'Escape') event.preventDefault();
      _webKeyboard(key, ...web.pointer);
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
    // A hidden page keeps no frame waiting either.
    document.addEventListener('visibilitychange', () => {
      if (web.frame) cancelAnimationFrame(web.frame);
      web.frame = 0;
      _webVisible(document.visibilityState === 'visible');
    });
    document.addEventListener('fullscreenchange', () => {
      // However full screen ends, the canvas goes back to the size f gives it.
      // Ended by the browser (Esc), it counts as the f that leaves, so that
      // the program's record of full screen stays true and the next f fills
      // the screen again.
      if (document.fullscreenElement === canvas) {
        _webResizeCanvas(screen.width, screen.height);
      } else {
        if (!web.leaving) _webKeyboard('f'.charCodeAt(0), ...web.pointer);
        web.leaving = false;
        _webResizeCanvas(800, 640);
      }
    });
    canvas.focus();
  },

  webResizeCanvas__deps: ['$web'],
  webResizeCanvas: function(width, height) {
    width = Math.max(width, 1);
    height = Math.max(height, 1);
    web.canvas.width = width;
    web.canvas.height = height;
    web.canvas.style.width = width + 'px';
    web.canvas.style.height = height + 'px';
    _webResized(width, height);
  },

  // The key press that asks for full screen is the gesture the browser needs.
  webFullScreen__deps: ['$web'],
  webFullScreen: function(on) {
    if (on && !document.fullscreenElement) web.canvas.requestFullscreen().catch(() => {});
    if (!on && document.fullscreenElement) {
      web.leaving = true;
      document.exitFullscreen().catch(() => { web.leaving = false; });
    }
  },

  webIsFullScreen__deps: ['$web'],
  webIsFullScreen: function() { return document.fullscreenElement === web.canvas; },

  webScreenSize: function(height) { return height ? screen.height : screen.width; },

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
