"""Opens fairground.html from disk in Chromium's headless shell and drives
it through the DevTools protocol with real key and mouse events.

  drive.py PAGE page OUT_DIR           the page as it loads, its first frame in OUT_DIR/start.png,
                                       and keys the program ignores
  drive.py PAGE scenes OUT_DIR NAME=KEYS...   each scene typed into a freshly loaded page, OUT_DIR/NAME.png
  drive.py PAGE animation              clicks, P and p, a hidden tab
  drive.py PAGE full_screen            f, f, and full screen left through the browser

Any error in the page's console fails. Waits poll for what they expect."""
import base64
import json
import os
import signal
import subprocess
import sys
import tempfile
import time

import websocket

BROWSER = "/usr/lib/chromium/chromium-headless-shell"
# Counts the frames and timers the page asks for, and when its first frame ran.
COUNTING = """
window.asked = {frames: 0, ran: 0, cancelled: 0, timers: 0, firstFrame: 0};
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
"""


class Failure(Exception):
    pass


class Page:
    def __init__(self, path):
        self.url = "file://" + os.path.abspath(path)
        self.profile = tempfile.TemporaryDirectory()
        self.browser = subprocess.Popen(
            [BROWSER, "--no-sandbox", "--disable-background-networking", "--disable-component-update",
             "--disable-sync", "--no-first-run", "--user-data-dir=" + self.profile.name,
             "--remote-debugging-port=0", "--use-angle=swiftshader", "--enable-unsafe-swiftshader",
             "--window-size=1280,1024", "about:blank"],
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
        try:
            self.connect()
        except BaseException:
            self.close()
            raise

    def connect(self):
        # The browser writes its port and path here once it listens.
        listening = os.path.join(self.profile.name, "DevToolsActivePort")
        self.wait("the browser to start", lambda: os.path.exists(listening) and len(open(listening).readlines()) == 2)
        port, path = open(listening).read().split()
        # Without an Origin header: browsers before 111 refuse a connection
        # from an origin they were not told to allow.
        self.socket = websocket.create_connection(f"ws://127.0.0.1:{port}{path}", timeout=30, suppress_origin=True)
        self.next_id, self.errors, self.session = 0, [], None
        target = self.call("Target.createTarget", url="about:blank")["targetId"]
        self.session = self.call("Target.attachToTarget", targetId=target, flatten=True)["sessionId"]
        for domain in ("Page", "Runtime", "Log"):
            self.call(domain + ".enable")
        self.call("Page.addScriptToEvaluateOnNewDocument", source=COUNTING)

    def close(self):
        os.killpg(self.browser.pid, signal.SIGKILL)
        self.browser.wait()
        self.profile.cleanup()

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
                    raise Failure(f"{method}: {reply['error']}")
                return reply["result"]
            self.note(reply)

    def note(self, event):
        params = event.get("params", {})
        if event.get("method") == "Runtime.consoleAPICalled" and params["type"] == "error":
            self.errors.append(" ".join(str(a.get("value", a.get("description"))) for a in params["args"]))
        elif event.get("method") == "Runtime.exceptionThrown":
            details = params["exceptionDetails"]
            self.errors.append(details.get("exception", {}).get("description", details["text"]))
        elif event.get("method") == "Log.entryAdded" and params["entry"]["level"] == "error":
            self.errors.append(params["entry"]["text"])
        if self.errors:
            raise Failure("the page's console has an error: " + self.errors[0])

    def evaluate(self, expression):
        return self.call("Runtime.evaluate", expression=expression, returnByValue=True)["result"].get("value")

    def wait(self, what, condition, seconds=30):
        deadline = time.monotonic() + seconds
        while not condition():
            if time.monotonic() > deadline:
                raise Failure("waited in vain for " + what)
            time.sleep(0.05)

    def load(self):
        self.call("Page.navigate", url=self.url)
        self.wait("the first frame", lambda: self.evaluate("window.asked && asked.ran") or 0)
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
            shifted = c.isupper() or c in '!"#$%&()*+:<>?@^_{|}~'
            code = "Key" + c.upper() if c.isalpha() else "Digit" + c if c.isdigit() else ""
            key = {"key": c, "code": code, "windowsVirtualKeyCode": ord(c.upper()) if c.isalnum() else 0,
                   "modifiers": 8 if shifted else 0}
            self.call("Input.dispatchKeyEvent", type="keyDown", text=c, **key)
            self.call("Input.dispatchKeyEvent", type="keyUp", **key)

    def click(self, button):
        x, y = self.evaluate("(b => [b.x + 400, b.y + 300])(canvas.getBoundingClientRect())")
        for kind in ("mousePressed", "mouseReleased"):
            self.call("Input.dispatchMouseEvent", type=kind, x=x, y=y, button=button, clickCount=1)

    def shot(self, path):
        box = self.evaluate("(b => [b.x, b.y, b.width, b.height])(canvas.getBoundingClientRect())")
        clip = dict(zip(("x", "y", "width", "height"), box), scale=1)
        with open(path, "wb") as out:
            out.write(base64.b64decode(self.call("Page.captureScreenshot", format="png", clip=clip)["data"]))


def check(condition, message):
    if not condition:
        raise Failure(message)


def page_as_loaded(page, out):
    page.load()
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
    window = page.call("Browser.getWindowForTarget")["windowId"]
    page.call("Browser.setWindowBounds", windowId=window, bounds={"windowState": "minimized"})
    page.wait("the tab to be hidden", lambda: page.evaluate("document.visibilityState") == "hidden")
    page.wait("a hidden tab to ask for nothing", lambda: quiet(page))
    ran = page.evaluate("asked.ran")
    page.call("Browser.setWindowBounds", windowId=window, bounds={"windowState": "normal"})
    page.wait("the tab shown again to resume", lambda: page.evaluate("asked.ran") > ran + 20)
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


def main(path, test, *args, tests=None):
    tests = tests or {"page": page_as_loaded, "scenes": scenes, "animation": animation, "full_screen": full_screen}
    page = Page(path)
    try:
        tests[test](page, *args)
        page.evaluate("0")  # the console's last messages
    except Failure as failure:
        print("FAIL:", failure, file=sys.stderr)
        return 1
    finally:
        page.close()
    return 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
