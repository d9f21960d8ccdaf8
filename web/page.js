// The browser's side of the page's GL and GLUT: a WebGL context that draws
// what gl.cpp hands it, and the browser's events handed on to glut.cpp.
// Keys go by the character typed, as GLUT's keyboard callback takes them.
mergeInto(LibraryManager.library, {
  $web: {canvas: null, gl: null, frame: 0, pointer: [0, 0], full: false, leaving: false, batches: [], bound: -1},

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
    // GL 1.x lighting, for a viewer at infinity with the scene's ambient
    // light at 0.2: each vertex lit with the material of its front, and
    // with two-sided lighting of its back, whose normal turns round. A
    // normal is used as it is, never normalised.
    const program = gl.createProgram();
    gl.attachShader(program, shader(gl.VERTEX_SHADER, `
      attribute vec4 position;
      attribute vec3 eye, normal;
      attribute vec4 sides;  // front material, back material, how lit (Lit in state.h)
      uniform vec4 materials[5 * 16];  // ambient, diffuse, specular, emission, shininess
      uniform vec4 lights[4 * 4];  // position, ambient, diffuse, specular
      varying vec4 frontColour, backColour;
      vec3 unit(vec3 v) { float l = length(v); return l > 0.0 ? v / l : v; }
      vec4 lit(float material, vec3 n) {
        int m = int(material) * 5;
        vec4 colour = vec4(materials[m + 3].rgb + materials[m].rgb * 0.2, clamp(materials[m + 1].a, 0.0, 1.0));
        float shininess = materials[m + 4].x;
        for (int i = 0; i < 4; ++i) {
          vec4 p = lights[i * 4];
          colour.rgb += materials[m].rgb * lights[i * 4 + 1].rgb;
          vec3 toLight = unit(p.w == 0.0 ? p.xyz : p.xyz / p.w - eye);
          float diffuse = dot(n, toLight);
          if (diffuse > 0.0) {
            float specular = shininess == 0.0 ? 1.0 : pow(max(0.0, dot(n, unit(toLight + vec3(0, 0, 1)))), shininess);
            colour.rgb += diffuse * materials[m + 1].rgb * lights[i * 4 + 2].rgb +
                          specular * materials[m + 2].rgb * lights[i * 4 + 3].rgb;
          }
        }
        return clamp(colour, 0.0, 1.0);
      }
      void main() {
        gl_Position = position;
        float how = sides.z;
        frontColour = how == 0.0 ? vec4(1) : how == 3.0 ? lit(sides.y, -normal) : lit(sides.x, normal);
        backColour = how == 2.0 ? lit(sides.y, -normal) : frontColour;
      }`));
    gl.attachShader(program, shader(gl.FRAGMENT_SHADER,
      'precision highp float; varying vec4 frontColour, backColour;' +
      'void main() { gl_FragColor = gl_FrontFacing ? frontColour : backColour; }'));
    ['position', 'eye', 'normal', 'sides'].forEach((name, i) => gl.bindAttribLocation(program, i, name));
    gl.linkProgram(program);
    if (!gl.getProgramParameter(program, gl.LINK_STATUS)) stop('WebGL: ' + gl.getProgramInfoLog(program));
    gl.useProgram(program);
    web.materials = gl.getUniformLocation(program, 'materials');
    web.lights = gl.getUniformLocation(program, 'lights');
    for (let i = 0; i < 4; ++i) gl.enableVertexAttribArray(i);

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

  webMaterials__deps: ['$web'],
  webMaterials: function(materials, count) {
    web.gl.uniform4fv(web.materials, HEAPF32.subarray(materials >> 2, (materials >> 2) + count * 20));
  },

  webLights__deps: ['$web'],
  webLights: function(lights) { web.gl.uniform4fv(web.lights, HEAPF32.subarray(lights >> 2, (lights >> 2) + 64)); },

  // Each batch of a frame has buffers of its own, which still hold what the
  // same batch of the last frame drew: only what differs is uploaded.
  webDraw__deps: ['$web'],
  webDraw: function(vertices, count, indices, indexCount, lines, batch, changedFrom, changedTo, indicesFrom,
                    indicesTo) {
    const gl = web.gl;
    let kept = web.batches[batch];
    if (!kept) {
      kept = web.batches[batch] = {vertices: gl.createBuffer(), indices: gl.createBuffer(), room: [0, 0]};
    }
    if (web.bound !== batch) {
      web.bound = batch;
      gl.bindBuffer(gl.ARRAY_BUFFER, kept.vertices);
      gl.bindBuffer(gl.ELEMENT_ARRAY_BUFFER, kept.indices);
      // A vertex as batch.cpp hands it (Handed in state.h).
      gl.vertexAttribPointer(0, 4, gl.FLOAT, false, 44, 0);
      gl.vertexAttribPointer(1, 3, gl.FLOAT, false, 44, 16);
      gl.vertexAttribPointer(2, 3, gl.FLOAT, false, 44, 28);
      gl.vertexAttribPointer(3, 4, gl.UNSIGNED_BYTE, false, 44, 40);
    }
    // A buffer too small for the batch grows with room to spare, and takes
    // all of it.
    const upload = (target, which, bytes, from, to) => {
      if (bytes.length > kept.room[which]) {
        kept.room[which] = bytes.length + (bytes.length >> 2);
        gl.bufferData(target, kept.room[which], gl.DYNAMIC_DRAW);
        [from, to] = [0, bytes.length];
      }
      if (from < to) gl.bufferSubData(target, from, bytes.subarray(from, to));
    };
    upload(gl.ARRAY_BUFFER, 0, HEAPU8.subarray(vertices, vertices + count * 44), changedFrom * 44, changedTo * 44);
    upload(gl.ELEMENT_ARRAY_BUFFER, 1, HEAPU8.subarray(indices, indices + indexCount * 2), indicesFrom * 2,
           indicesTo * 2);
    gl.drawElements(lines ? gl.LINES : gl.TRIANGLES, indexCount, gl.UNSIGNED_SHORT, 0);
  },
});
