"""Opens fairground.html from disk in a browser engine and drives it with
real key and mouse events, through the engine's own remote protocol:

  chromium   Chromium's headless shell, over the DevTools protocol
  firefox    Firefox ESR, over the WebDriver BiDi it speaks itself
  webkit     WebKitGTK's MiniBrowser, over classic WebDriver through WebKitWebDriver
Firefox and WebKit draw WebGL only on an X server: the one in DISPLAY.

  drive.py ENGINE PAGE page OUT_DIR           the page as it loads, its first frame in OUT_DIR/start.png,
                                              and keys the program ignores
  drive.py ENGINE PAGE scenes OUT_DIR NAME=KEYS...   each scene typed into a freshly loaded page, OUT_DIR/NAME.png
  drive.py ENGINE PAGE animation              clicks, P and p, a hidden page
  drive.py ENGINE PAGE full_screen            f, f, and full screen left through the browser

The tests use only what every adapter offers (Browser below). Any error the
page reports fails. Waits poll for what they expect."""
import base64
import json
import os
import signal
import socket
import subprocess
import sys
import tempfile
import time
import urllib.error
import urllib.request

import websocket

# Counts the frames and timers the page asks for, and when its first frame
# ran, and records the errors it reports, for engines that tell us none.
COUNTING = """<script>{
window.asked = {frames: 0, ran: 0, cancelled: 0, timers: 0, firstFrame: 0, errors: []};
const requestFrame = window.requestAnimationFrame.bind(window), startTimer = window.setTimeout.bind(window);
const cancelFrame = window.cancelAnimationFrame.bind(window);
window.cancelAnimationFrame = (id) => { asked.cancelled++; cancelFrame(id); };
window.requestAnimationFrame = (callback) => {
  asked.frames++;
  return requestFrame((time) => {
    callback(time);
    asked.ran++;
    asked.firstFrame = asked.firstFrame || performance.now();
  });
};
window.setTimeout = (...args) => { asked.timers++; return startTimer(...args); };
addEventListener('error', (event) => asked.errors.push(event.message));
addEventListener('unhandledrejection', (event) => asked.errors.push('unhandled rejection: ' + event.reason));
const logError = console.error.bind(console);
console.error = (...args) => { asked.errors.push(args.join(' ')); logError(...args); };
}</script>"""


class Failure(Exception):
    pass


def spawn(command):
    return subprocess.Popen(command, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL, start_new_session=True)


class Browser:
    """What the tests ask of an engine. An adapter starts it (start), and
    offers evaluate, navigate, key, press (a click at x, y), capture (a PNG
    of part of the page), hide and show."""
    unseen = ""  # what the engine cannot tell the tests

    def __init__(self, path):
        self.dir = tempfile.TemporaryDirectory()
        # The counting comes first in a copy of the page: classic WebDriver
        # cannot run a script of its own before the page's.
        copy = os.path.join(self.dir.name, "fairground.html")
        with open(path) as page, open(copy, "w") as out:
            out.write(page.read().replace("<head>", "<head>" + COUNTING, 1))
        self.url = "file://" + copy
        self.process, self.errors = None, []
        try:
            self.start()
        except BaseException:
            self.close()
            raise

    def close(self):
        if self.process:
            os.killpg(self.process.pid, signal.SIGKILL)
            self.process.wait()
        self.dir.cleanup()

    def wait(self, what, condition, seconds=30):
        deadline = time.monotonic() + seconds
        while not condition():
            if time.monotonic() > deadline:
                raise Failure("waited in vain for " + what)
            time.sleep(0.05)

    def check(self):
        """Fails on an error the page reported, through the engine or the recorder."""
        errors = self.errors + (self.evaluate("window.asked ? asked.errors : []") or [])
        if errors:
            raise Failure("the page reported an error: " + errors[0])

    def load(self):
        self.check()
        self.navigate(self.url)
        self.wait("the first frame", lambda: self.evaluate("window.asked && asked.ran") or 0, 60)
        self.settle()

    def settled(self):
        return self.evaluate("asked.frames === asked.ran + asked.cancelled")

    def settle(self):
        self.wait("the page to stop asking for frames", self.settled)

    # An event, then the frames it asks for: counted from before the event,
    # since the frame may come before the next call.
    def after(self, send):
        before = self.evaluate("asked.ran")
        send()
        self.wait("a frame", lambda: self.evaluate("asked.ran") > before)
        self.settle()

    def type(self, text):
        for c in text:
            self.key(c)

    def click(self, button):
        x, y = self.evaluate("(b => [b.x + 400, b.y + 300])(canvas.getBoundingClientRect())")
        self.press(x, y, button)

    def shot(self, path):
        box = self.evaluate("(b => [b.x, b.y, b.width, b.height])(canvas.getBoundingClientRect())")
        with open(path, "wb") as out:
            out.write(self.capture(*box))


class Socket:
    """Commands and replies as JSON over a WebSocket, events in between."""
    session = None

    def connect(self, url):
        # A browser's first start on a new machine, loaded, takes a minute.
        self.socket = websocket.create_connection(url, timeout=120, suppress_origin=True)
        self.next_id = 0

    def send(self, method, **params):
        """A command whose answer is not waited for: the next follows at once."""
        self.next_id += 1
        message = {"id": self.next_id, "method": method, "params": params}
        if self.session:
            message["sessionId"] = self.session
        self.socket.send(json.dumps(message))

    def call(self, method, **params):
        self.send(method, **params)
        while True:
            reply = json.loads(self.socket.recv())
            if reply.get("id") == self.next_id:
                if "error" in reply:
                    raise Failure(f"{method}: {reply['error']} {reply.get('message', '')}")
                return reply["result"]
            self.note(reply)
            if self.errors:
                raise Failure("the page reported an error: " + self.errors[0])


class Chromium(Socket, Browser):
    """Chromium's headless shell over the DevTools protocol; call() sends any of its commands."""

    def start(self):
        self.process = spawn(
            ["/usr/lib/chromium/chromium-headless-shell", "--no-sandbox", "--disable-background-networking",
             "--disable-component-update", "--disable-sync", "--no-first-run", "--user-data-dir=" + self.dir.name,
             "--remote-debugging-port=0", "--use-angle=swiftshader", "--enable-unsafe-swiftshader",
             "--window-size=1280,1024", "about:blank"])
        # The browser writes its port and path here once it listens.
        listening = os.path.join(self.dir.name, "DevToolsActivePort")
        self.wait("the browser to start", lambda: os.path.exists(listening) and len(open(listening).readlines()) == 2)
        port, path = open(listening).read().split()
        # Without an Origin header: browsers before 111 refuse a connection
        # from an origin they were not told to allow.
        self.connect(f"ws://127.0.0.1:{port}{path}")
        self.version = self.call("Browser.getVersion")["product"]
        target = self.call("Target.createTarget", url="about:blank")["targetId"]
        self.session = self.call("Target.attachToTarget", targetId=target, flatten=True)["sessionId"]
        for domain in ("Page", "Runtime", "Log"):
            self.call(domain + ".enable")

    def note(self, event):
        params = event.get("params", {})
        if event.get("method") == "Runtime.consoleAPICalled" and params["type"] == "error":
            self.errors.append(" ".join(str(a.get("value", a.get("description"))) for a in params["args"]))
        elif event.get("method") == "Runtime.exceptionThrown":
            details = params["exceptionDetails"]
            self.errors.append(details.get("exception", {}).get("description", details["text"]))
        elif event.get("method") == "Log.entryAdded" and params["entry"]["level"] == "error":
            self.errors.append(params["entry"]["text"])

    def evaluate(self, expression):
        return self.call("Runtime.evaluate", expression=expression, returnByValue=True)["result"].get("value")

    def navigate(self, url):
        self.call("Page.navigate", url=url)

    def key(self, c):
        shifted = c.isupper() or c in '!"#$%&()*+:<>?@^_{|}~'
        code = "Key" + c.upper() if c.isalpha() else "Digit" + c if c.isdigit() else ""
        key = {"key": c, "code": code, "windowsVirtualKeyCode": ord(c.upper()) if c.isalnum() else 0,
               "modifiers": 8 if shifted else 0}
        self.call("Input.dispatchKeyEvent", type="keyDown", text=c, **key)
        self.call("Input.dispatchKeyEvent", type="keyUp", **key)

    def press(self, x, y, button):
        for kind in ("mousePressed", "mouseReleased"):
            self.call("Input.dispatchMouseEvent", type=kind, x=x, y=y, button=button, clickCount=1)

    def capture(self, x, y, width, height):
        clip = {"x": x, "y": y, "width": width, "height": height, "scale": 1}
        return base64.b64decode(self.call("Page.captureScreenshot", format="png", clip=clip)["data"])

    def window(self, state):
        window = self.call("Browser.getWindowForTarget")["windowId"]
        self.call("Browser.setWindowBounds", windowId=window, bounds={"windowState": state})

    def hide(self):
        self.window("minimized")

    def show(self):
        self.window("normal")


Page = Chromium  # the name other scripts import it by


class WebDriver(Browser):
    """Input as both WebDriver protocols take it: lists of actions."""

    def key(self, c):
        self.perform([{"type": "key", "id": "keyboard",
                       "actions": [{"type": "keyDown", "value": c}, {"type": "keyUp", "value": c}]}])

    def press(self, x, y, button):
        button = {"left": 0, "right": 2}[button]
        self.perform([{"type": "pointer", "id": "mouse", "parameters": {"pointerType": "mouse"},
                       "actions": [{"type": "pointerMove", "x": int(x), "y": int(y)},
                                   {"type": "pointerDown", "button": button}, {"type": "pointerUp", "button": button}]}])


class Firefox(Socket, WebDriver):
    """Firefox ESR over WebDriver BiDi, in a fresh profile."""

    def start(self):
        profile = os.path.join(self.dir.name, "profile")
        os.mkdir(profile)
        # On about:blank the focus would be in the address bar, and a page
        # without it may not fill the screen.
        self.process = spawn(["firefox-esr", "--no-remote", "--profile", profile, "--remote-debugging-port", "0",
                              "data:text/html,"])
        # Firefox writes where it listens here.
        server = os.path.join(profile, "WebDriverBiDiServer.json")
        self.wait("Firefox to start", lambda: os.path.exists(server) and open(server).read().endswith("}"), 120)
        self.connect(f"ws://127.0.0.1:{json.load(open(server))['ws_port']}/session")
        capabilities = self.call("session.new", capabilities={})["capabilities"]
        self.version = f"Firefox {capabilities['browserVersion']}"
        self.context = self.call("browsingContext.getTree")["contexts"][0]["context"]
        self.call("session.subscribe", events=["log.entryAdded"])

    def note(self, event):
        if event.get("method") == "log.entryAdded" and event["params"]["level"] == "error":
            self.errors.append(event["params"]["text"])

    def evaluate(self, expression):
        reply = self.call("script.evaluate", expression=f"JSON.stringify({expression})",
                          target={"context": self.context}, awaitPromise=False)
        if reply["type"] == "exception":
            raise Failure(f"{expression}: {reply['exceptionDetails']['text']}")
        value = reply["result"].get("value")
        return None if value is None else json.loads(value)

    def navigate(self, url):
        self.call("browsingContext.navigate", context=self.context, url=url, wait="complete")

    def perform(self, actions):
        self.call("input.performActions", context=self.context, actions=actions)

    def capture(self, x, y, width, height):
        clip = {"type": "box", "x": x, "y": y, "width": width, "height": height}
        return base64.b64decode(self.call("browsingContext.captureScreenshot", context=self.context, clip=clip)["data"])

    # Another tab in front hides the page.
    def hide(self):
        self.other = self.call("browsingContext.create", type="tab")["context"]

    def show(self):
        self.call("browsingContext.activate", context=self.context)
        self.call("browsingContext.close", context=self.other)


class WebKit(WebDriver):
    """WebKitGTK's MiniBrowser over classic WebDriver, through WebKitWebDriver."""
    unseen = ("WebKitWebDriver reports no console messages: errors are those a recorder in the page sees, "
              "and an uncaught one only as \"Script error.\" in a page opened from disk")

    def start(self):
        with socket.socket() as free:
            free.bind(("127.0.0.1", 0))
            port = free.getsockname()[1]
        self.process = spawn(["WebKitWebDriver", f"--port={port}"])
        self.base = f"http://127.0.0.1:{port}"
        self.wait("WebKitWebDriver to listen", self.listens)
        # With a time limit, each script it runs starts a timer in the page.
        capabilities = {"webkitgtk:browserOptions": {"args": ["--automation"]}, "timeouts": {"script": None}}
        session = self.request("POST", "/session", {"capabilities": {"alwaysMatch": capabilities}})
        self.base += "/session/" + session["sessionId"]
        self.version = f"WebKitGTK {session['capabilities']['browserVersion']}"

    def listens(self):
        try:
            return self.request("GET", "/status")["ready"]
        except OSError:
            return False

    def request(self, method, path, body=None):
        data = None if body is None else json.dumps(body).encode()
        request = urllib.request.Request(self.base + path, data, {"Content-Type": "application/json"}, method=method)
        try:
            with urllib.request.urlopen(request, timeout=120) as reply:
                return json.load(reply)["value"]
        except urllib.error.HTTPError as error:
            raise Failure(f"{method} {path}: {json.load(error)['value']}") from None

    def evaluate(self, expression):
        return self.request("POST", "/execute/sync", {"script": f"return {expression}", "args": []})

    def navigate(self, url):
        self.request("POST", "/url", {"url": url})

    def perform(self, actions):
        self.request("POST", "/actions", {"actions": actions})

    # Its pictures of an element come out wrong; one of the whole page, cut
    # down to the element, is right.
    def capture(self, x, y, width, height):
        page = base64.b64decode(self.request("GET", "/screenshot"))
        return subprocess.run(["convert", "png:-", "-crop", f"{width}x{height}+{x}+{y}", "+repage", "png:-"],
                              input=page, capture_output=True, check=True).stdout

    # Classic WebDriver has no command that only restores a minimised window.
    def hide(self):
        self.request("POST", "/window/minimize", {})

    def show(self):
        self.request("POST", "/window/maximize", {})


def check(condition, message):
    if not condition:
        raise Failure(message)


def page_as_loaded(page, out):
    page.load()
    renderer = page.evaluate("(gl => gl.getParameter(gl.getExtension('WEBGL_debug_renderer_info')"
                             "?.UNMASKED_RENDERER_WEBGL ?? gl.RENDERER))(canvas.getContext('webgl'))")
    print(f"{page.version}, WebGL renderer {renderer}")
    check(page.evaluate("document.title") == "Fairground", "the title is not Fairground")
    size = page.evaluate("[canvas.width, canvas.height, canvas.clientWidth, canvas.clientHeight]")
    check(size == [800, 600, 800, 600], f"the canvas is {size}, not 800x600 at device scale 1")
    check(page.evaluate("document.activeElement === canvas"), "the canvas has no focus")
    with open(out + "/banner.txt", "w") as banner:
        banner.write(page.evaluate("[...document.querySelectorAll('#banner pre')].map(p => p.textContent).join('')"))
    print(f"first frame {page.evaluate('asked.firstFrame'):.0f} ms after navigation")
    page.shot(out + "/start.png")
    # Keys go by the character typed: Shift and a digit is no digit.
    frames = page.evaluate("asked.frames")
    page.type("!@#$%^&*()F89")
    check(quiet(page) and page.evaluate("asked.frames") == frames,
          "a key that the program ignores asked for a frame")


def scenes(page, out, *named_keys):
    for scene in named_keys:
        name, keys = scene.split("=", 1)
        page.load()
        for key in keys:
            page.after(lambda: page.type(key))
        page.shot(f"{out}/{name}.png")


def quiet(page):
    """Nothing asked of the browser over a few frames' time."""
    counts = page.evaluate("JSON.stringify(asked)")
    time.sleep(0.5)
    return page.settled() and page.evaluate("JSON.stringify(asked)") == counts


def animation(page):
    page.load()
    check(quiet(page), "the page asks for frames before any click")
    page.click("left")
    page.wait("a left click to turn the wheel", lambda: page.evaluate("asked.ran") > 20)
    page.type("P")
    page.wait("P to stop all frames and timers", lambda: quiet(page))
    ran = page.evaluate("asked.ran")
    page.type("p")
    page.wait("p to resume", lambda: page.evaluate("asked.ran") > ran + 20)
    page.hide()
    page.wait("the page to be hidden", lambda: page.evaluate("document.visibilityState") == "hidden")
    page.wait("a hidden page to ask for nothing", lambda: quiet(page))
    ran = page.evaluate("asked.ran")
    page.show()
    page.wait("the page shown again to resume", lambda: page.evaluate("asked.ran") > ran + 20)
    page.click("right")
    page.wait("a right click to bring the wheel to rest", lambda: page.evaluate("asked.ran") > ran + 40)


def full_screen(page):
    # Each step waits for the page to settle: a change of full screen that
    # the program makes only once the one before is answered comes after the
    # key press, and the browser may then no longer count it as the user's.
    page.load()
    size = "[canvas.width, canvas.height]"
    page.after(lambda: page.type("f"))
    check(page.evaluate(size) == [800, 640], f"after f the canvas is {page.evaluate(size)}, not 800x640")
    page.wait("the page to settle", lambda: quiet(page))
    page.type("f")
    page.wait("full screen", lambda: page.evaluate("document.fullscreenElement === canvas") and quiet(page))
    page.evaluate("document.exitFullscreen()")
    page.wait("the canvas back at 800x640", lambda: page.evaluate(size) == [800, 640]
              and not page.evaluate("document.fullscreenElement") and quiet(page))
    # Left that way, the next f fills the screen again.
    page.type("f")
    page.wait("f after the browser's exit to fill the screen",
              lambda: page.evaluate("document.fullscreenElement === canvas") and quiet(page))
    page.type("f")
    page.wait("f to leave full screen for 800x640", lambda: page.evaluate(size) == [800, 640]
              and not page.evaluate("document.fullscreenElement"))


def main(engine, path, test, *args, tests=None):
    tests = tests or {"page": page_as_loaded, "scenes": scenes, "animation": animation, "full_screen": full_screen}
    page = None
    try:
        page = {"chromium": Chromium, "firefox": Firefox, "webkit": WebKit}[engine](path)
        if page.unseen:
            print("Not seen here:", page.unseen)
        tests[test](page, *args)
        page.check()
    except Failure as failure:
        print("FAIL:", failure, file=sys.stderr)
        return 1
    finally:
        if page:
            page.close()
    return 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
