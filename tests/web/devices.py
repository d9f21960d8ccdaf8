"""The page on a phone and a tablet, in Chromium's device emulation, driven
by touch through the DevTools protocol; and full screen, refused or left at
once.

  devices.py PAGE phone_portrait|phone_landscape|tablet   the page on that device
  devices.py PAGE full_screen_refused    on a phone whose browser refuses full screen
  devices.py PAGE full_screen_escape     Esc right after f, on the desktop"""
import subprocess
import sys

from drive import check, main, quiet

DEVICES = {"portrait": (390, 844, 3), "landscape": (844, 390, 3), "tablet": (820, 1180, 2)}
COMMANDS = "AaBbCcfGgIiLlMmNnOoPpRrUuWwXxYyZz12345670"
# Each request for full screen, with the event it came within; and frames
# held back on demand, as on a page that has not drawn yet.
ASKED_FULL_SCREEN = """
window.fullScreenAsked = [];
window.fullScreenChanges = 0;
document.addEventListener('fullscreenchange', () => fullScreenChanges++);
const requestFullscreen = Element.prototype.requestFullscreen;
Element.prototype.requestFullscreen = function () {
  fullScreenAsked.push(window.event ? window.event.type : 'none');
  if (REFUSE) return Promise.reject(new TypeError('refused'));
  return requestFullscreen.call(this).then(() => window.escapeAtOnce && document.exitFullscreen());
};
window.heldFrames = null;
const drawFrame = window.requestAnimationFrame;
window.requestAnimationFrame = (callback) => heldFrames ? heldFrames.push(callback) : drawFrame(callback);
"""


def emulate(page, device):
    width, height, scale = DEVICES[device]
    page.call("Emulation.setDeviceMetricsOverride", width=width, height=height, deviceScaleFactor=scale,
              mobile=True)
    page.call("Emulation.setTouchEmulationEnabled", enabled=True, maxTouchPoints=5)


def centre(page, element):
    return page.evaluate(f"(b => [b.x + b.width / 2, b.y + b.height / 2])({element}.getBoundingClientRect())")


def touches(page, *places):
    """A finger down at the first place, moved through the others and
    lifted, sent at once: round trips between the events may take longer
    than a tap on a loaded machine."""
    kinds = ["touchStart"] + ["touchMove"] * (len(places) - 1)
    for kind, (x, y) in zip(kinds, places):
        page.send("Input.dispatchTouchEvent", type=kind, touchPoints=[{"x": x, "y": y}])
    page.call("Input.dispatchTouchEvent", type="touchEnd", touchPoints=[])


def tap(page, element):
    touches(page, centre(page, element))


def button(key):
    return f"[...document.querySelectorAll('#banner button')].find(b => b.textContent === {key!r})"


def press(page, key):
    page.evaluate(button(key) + ".scrollIntoView({block: 'center'})")
    tap(page, button(key))


def press_by_mouse(page, key):
    page.press(*centre(page, button(key)), "left")


def sky(page):
    """The sky's colour, just inside the drawing's left edge."""
    x, y = page.evaluate("(b => [b.x + scrollX + 2, b.y + scrollY + b.height / 4])"
                         "(canvas.getBoundingClientRect())")
    return tuple(subprocess.run(["convert", "png:-", "-depth", "8", "rgb:-"], input=page.capture(x, y, 1, 1),
                                capture_output=True, check=True).stdout)


def frames_later(page, count, what):
    ran = page.evaluate("asked.ran")
    page.wait(what, lambda: page.evaluate("asked.ran") >= ran + count, seconds=60)


def fits(page, device):
    width, height, scale = DEVICES[device]
    check(page.evaluate("[innerWidth, innerHeight, devicePixelRatio]") == [width, height, scale],
          f"the browser does not emulate {device}")
    box = page.evaluate("(b => [b.x, b.y, b.right, b.bottom])(canvas.getBoundingClientRect())")
    check(box[0] >= 0 and box[1] >= 0 and box[2] <= width and box[3] <= height, f"the drawing {box} is cut")
    check(max((box[2] - box[0]) / width, (box[3] - box[1]) / height) >= 0.9, f"the drawing {box} wastes room")
    check(page.evaluate("document.documentElement.scrollWidth <= innerWidth && visualViewport.scale === 1"),
          "the page is wider than the screen")
    size = page.evaluate("[canvas.width, canvas.height, canvas.clientWidth * devicePixelRatio,"
                         " canvas.clientHeight * devicePixelRatio]")
    check(size[:2] == size[2:], f"the buffer {size[:2]} is not one pixel per device pixel {size[2:]}")
    check(page.evaluate("[...document.querySelectorAll('#banner button')].map(b => b.textContent).join('')")
          == COMMANDS, "the buttons are not the banner's commands")
    check(page.evaluate("[...document.querySelectorAll('#banner button')].every(b =>"
                        " b.offsetWidth >= 40 && b.offsetHeight >= 40)"), "a button is smaller than 40x40")
    check(page.evaluate("[...document.querySelectorAll('#banner pre')].every(p =>"
                        " p.scrollWidth <= p.clientWidth)"), "a banner line is cut")
    return size[:2]


def drag_and_press(page):
    """A drag neither scrolls nor clicks; a tap turns the wheel, a second tap
    does not stop it, a long press does, and its lift is no tap. The lamps
    show which animation runs: green as the wheel turns, red as it stops."""
    check(quiet(page), "the page asks for frames before any touch")
    # A finger dragged up the drawing, which would scroll the page.
    x, y = centre(page, "canvas")
    ran = page.evaluate("asked.ran")
    touches(page, *((x, y - 40 * step) for step in range(6)))
    check(page.evaluate("[scrollX, scrollY, visualViewport.scale]") == [0, 0, 1], "a drag moved the page")
    page.wait("the drag's frames, if any", lambda: quiet(page) or page.evaluate("asked.ran") > ran + 5)
    check(sky(page)[2] > 0, "a drag turned the wheel")
    tap(page, "canvas")
    frames_later(page, 30, "a tap to turn the wheel")
    before = sky(page)
    tap(page, "canvas")
    frames_later(page, 30, "the wheel to turn on")
    red = sky(page)[0]
    check(red < before[0], f"after a second tap the lamps turn from {before} to {sky(page)}, not green")
    # The wheel runs back while the lamps turn red, the sky a fifth of their
    # colour; a lift taken as a tap would turn them green again.
    page.call("Input.dispatchTouchEvent", type="touchStart", touchPoints=[{"x": x, "y": y}])
    page.wait("a long press to turn the lamps red", lambda: sky(page)[0] > red + 2, seconds=60)
    page.call("Input.dispatchTouchEvent", type="touchEnd", touchPoints=[])
    lifted = sky(page)
    frames_later(page, 20, "the wheel to run back")
    now = sky(page)
    check(now[0] >= lifted[0] and now[1] < lifted[1], f"after a long press the lamps turn from {lifted} to {now}")


def picture(page):
    return page.capture(*page.evaluate("(b => [b.x + scrollX, b.y + scrollY, b.width, b.height])"
                                       "(canvas.getBoundingClientRect())"))


def phone_portrait(page):
    emulate(page, "portrait")
    page.load()
    fits(page, "portrait")
    # Turned, the drawing fits again and is drawn as by a page opened turned.
    page.after(lambda: emulate(page, "landscape"))
    fits(page, "landscape")
    turned = picture(page)
    page.load()
    check(picture(page) == turned, "turned, the page draws another picture than opened turned")
    emulate(page, "portrait")
    page.load()
    drag_and_press(page)


def phone_landscape(page):
    emulate(page, "landscape")
    for key in "W4Lm10":
        page.load()
        fits(page, "landscape")
        page.after(lambda: press(page, key))
        pressed = picture(page)
        page.load()
        page.after(lambda: page.type(key))
        check(picture(page) == pressed, f"button {key} draws another picture than key {key}")


def tablet(page):
    emulate(page, "tablet")
    page.load()
    fits(page, "tablet")
    drag_and_press(page)


def full_screen_refused(page):
    """Each f that asks for full screen asks within its own press, and a
    refusal leaves the drawing as it was."""
    page.call("Page.addScriptToEvaluateOnNewDocument", source="const REFUSE = true;" + ASKED_FULL_SCREEN)
    emulate(page, "portrait")
    page.load()
    page.after(lambda: press(page, "f"))
    size = fits(page, "portrait")
    for count in range(1, 4):
        press(page, "f")
        page.wait("f to ask for full screen", lambda: len(page.evaluate("fullScreenAsked")) == count)
        page.wait("the page to settle", lambda: quiet(page))
        check(page.evaluate("fullScreenAsked") == ["click"] * count, "an f asked for full screen after its press")
        check(fits(page, "portrait") == size, "a refused f changed the drawing")


def full_screen_escape(page):
    """Esc as soon as the browser has filled the screen, before the page has
    drawn: the next f fills the screen again, asked within its press. The
    headless shell takes no Esc itself, so the page is left as the browser
    leaves it on Esc."""
    page.call("Page.addScriptToEvaluateOnNewDocument", source="const REFUSE = false;" + ASKED_FULL_SCREEN)
    page.load()
    press_by_mouse(page, "f")
    framed = "[canvas.width, canvas.height].join() === '800,640' && !document.fullscreenElement"
    page.wait("the button f to frame the drawing", lambda: page.evaluate(framed) and quiet(page))
    page.evaluate("heldFrames = []; escapeAtOnce = true")
    page.type("f")
    page.call("Input.dispatchKeyEvent", type="rawKeyDown", key="Escape", code="Escape", windowsVirtualKeyCode=27)
    page.wait("Esc to leave full screen", lambda: page.evaluate("fullScreenChanges") == 2)
    page.evaluate("const held = heldFrames; heldFrames = null; escapeAtOnce = false;"
                  "held.forEach(requestAnimationFrame)")
    page.wait("the drawing framed again", lambda: page.evaluate(framed) and quiet(page))
    page.type("f")
    page.wait("f to fill the screen again", lambda: page.evaluate("document.fullscreenElement === canvas"))
    check(page.evaluate("fullScreenAsked") == ["keydown", "keydown"], "an f asked for full screen after its press")


if __name__ == "__main__":
    sys.exit(main("chromium", *sys.argv[1:], tests={test.__name__: test for test in (
        phone_portrait, phone_landscape, tablet, full_screen_refused, full_screen_escape)}))
