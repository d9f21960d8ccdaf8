"""What the page costs the browser's main thread while the wheel turns, in
Chromium's headless shell: script time per frame (DevTools
Performance.getMetrics, ScriptDuration divided by the frames the page drew;
the median of five windows), the main thread's CPU time per frame
(ThreadTime), WebGL draws, uploads, KiB uploaded and vertices drawn per
frame, and frames per second; filled and in wireframe, then again with the
CPU slowed down four times (Emulation.setCPUThrottlingRate). The floor makes
one filled frame's WebGL calls again in every frame with nothing computed:
what handing that frame to WebGL costs by itself.

Script time is wall-clock time. SwiftShader draws the page's WebGL on the
CPU too, in the browser's GPU process, and where that shares the page's
core it stretches script time by up to half a millisecond a frame, more or
less from one start of the browser to the next. So the page's main thread
has a core to itself and the rest of the browser the others, as a phone's
GPU is beside its CPU.

  web_bench.py PAGE [--seconds S]"""
import argparse
import glob
import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "web"))
from devices import DEVICES, emulate, tap  # noqa: E402
from drive import Page  # noqa: E402

# Counts what the page hands WebGL, and keeps a copy of one frame's calls
# when asked to (handed.keep).
COUNT_GL = """
window.handed = {draws: 0, uploads: 0, bytes: 0, vertices: 0, keep: false, kept: []};
for (const context of [WebGLRenderingContext, window.WebGL2RenderingContext]) {
  if (!context) continue;
  const p = context.prototype;
  const count = (name, counted) => {
    const call = p[name];
    p[name] = function(...args) {
      counted(...args);
      if (handed.keep) handed.kept.push([this, name, args.map(a => ArrayBuffer.isView(a) ? a.slice() : a)]);
      return call.apply(this, args);
    };
  };
  count('drawArrays', (mode, first, n) => { handed.draws++; handed.vertices += n; });
  count('drawElements', (mode, n) => { handed.draws++; handed.vertices += n; });
  for (const name of ['bufferData', 'bufferSubData'])
    count(name, (target, data, more) => { handed.uploads++; handed.bytes += (name === 'bufferData' ?
      data : more).byteLength || 0; });
  for (const name of ['clear', 'viewport', 'enable', 'disable', 'clearColor']) count(name, () => {});
}
"""

# The floor: the page's frame kept, its WebGL calls made again in every
# frame with nothing computed.
FLOOR = """
window.floor = {running: true};
requestAnimationFrame(function step() {
  if (!floor.running) return;
  for (const [gl, name, args] of handed.kept) gl[name](...args);
  requestAnimationFrame(step);
});
"""


def pin(page):
    """The page's main thread (its renderer's first) on the first core, the
    rest of the browser on the others: returns how, for the table's
    heading."""
    cores = sorted(os.sched_getaffinity(0))
    if len(cores) < 2:
        return "not pinned: one core"
    for process in glob.glob("/proc/[0-9]*"):
        try:
            with open(process + "/stat") as f:
                group = int(f.read().rsplit(")", 1)[1].split()[2])
            with open(process + "/cmdline", "rb") as f:
                renderer = b"--type=renderer" in f.read()
        except (OSError, ValueError, IndexError):
            continue  # gone
        if group != page.process.pid:
            continue
        for thread in glob.glob(process + "/task/*"):
            try:
                main_thread = renderer and thread.endswith(f"/task/{os.path.basename(process)}")
                os.sched_setaffinity(int(os.path.basename(thread)), cores[:1] if main_thread else cores[1:])
            except OSError:
                pass  # gone
    return f"the page's main thread on core {cores[0]}, the rest of the browser on {len(cores) - 1} other(s)"


def load_average():
    with open("/proc/loadavg") as f:
        return f.read().split()[0]


def machine():
    with open("/proc/cpuinfo") as f:
        model = next((line.split(":", 1)[1].strip() for line in f if line.startswith("model name")), "unknown CPU")
    return f"{model}, {os.cpu_count()} cores"


def watch(page, seconds, windows=5):
    """The page's figures over SECONDS of frames, cut into WINDOWS: the
    script time per frame is the median window's, so that another process's
    burst on a shared machine moves it less."""
    def sample():
        metrics = {m["name"]: m["value"] for m in page.call("Performance.getMetrics")["metrics"]}
        return [metrics["Timestamp"], metrics["ScriptDuration"], metrics["ThreadTime"]] + page.evaluate(
            "[asked.ran, handed.draws, handed.uploads, handed.bytes, handed.vertices]")

    load = load_average()
    samples = [sample()]
    for _ in range(windows):
        time.sleep(seconds / windows)
        samples.append(sample())
    script, cpu = [], []
    for a, b in zip(samples, samples[1:]):
        if b[3] == a[3]:
            raise SystemExit("no frame ran in %g s: the page is not animating" % (b[0] - a[0]))
        script.append((b[1] - a[1]) * 1000 / (b[3] - a[3]))
        cpu.append((b[2] - a[2]) * 1000 / (b[3] - a[3]))
    first, last = samples[0], samples[-1]
    frames = last[3] - first[3]
    per_frame = [(b - a) / frames for a, b in zip(first[4:], last[4:])]
    return {"script": median(script), "low": min(script), "high": max(script), "cpu": median(cpu),
            "draws": per_frame[0], "uploads": per_frame[1], "kib": per_frame[2] / 1024, "vertices": per_frame[3],
            "fps": frames / (last[0] - first[0]), "frames": frames, "load": load}


def median(values):
    return sorted(values)[len(values) // 2]


def row(name, f):
    print(f"| {name} | {f['script']:.3f} ms ({f['low']:.3f}–{f['high']:.3f}) | {f['cpu']:.3f} ms | {f['draws']:.2f} | "
          f"{f['uploads']:.2f} | {f['kib']:.0f} | {f['vertices']:,.0f} | {f['fps']:.1f} ({f['frames']}) | {f['load']} |")


def devices(page, seconds):
    """The page on a phone and a tablet, by touch, with the CPU four times
    slower, as a mid-range phone's: its drawing's size and the frame's cost."""
    print()
    print("| device, wheel turning, CPU 4x slower | drawing (CSS px) | buffer (device px) | "
          "script per frame: median (range) | frames per second (frames) | load average |")
    print("|---|---|---|---|---|---|")
    for device in ("portrait", "landscape", "tablet"):
        emulate(page, device)
        page.load()
        pin(page)
        tap(page, "canvas")
        page.wait("the wheel to turn", lambda: page.evaluate("asked.ran") > 20, 60)
        page.call("Emulation.setCPUThrottlingRate", rate=4)
        f = watch(page, seconds)
        page.call("Emulation.setCPUThrottlingRate", rate=1)
        width, height, scale = DEVICES[device]
        css = page.evaluate("[canvas.clientWidth, canvas.clientHeight].join('x')")
        buffer = page.evaluate("[canvas.width, canvas.height].join('x')")
        print(f"| {device} {width}x{height} at scale {scale} | {css} | {buffer} | {f['script']:.3f} ms "
              f"({f['low']:.3f}–{f['high']:.3f}) | {f['fps']:.1f} ({f['frames']}) | {f['load']} |")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("page")
    parser.add_argument("--seconds", type=float, default=5)
    options = parser.parse_args()

    page = Page(options.page)
    try:
        page.call("Page.addScriptToEvaluateOnNewDocument", source=COUNT_GL)
        page.call("Performance.enable")
        page.load()
        print("browser:", page.call("Browser.getVersion")["product"], "headless shell; WebGL renderer:",
              page.evaluate("(gl => gl.getParameter(gl.getExtension('WEBGL_debug_renderer_info')"
                            ".UNMASKED_RENDERER_WEBGL))(canvas.getContext('webgl'))"))
        print(f"machine: {machine()}; each measure over {options.seconds:g} s in 5 windows; {pin(page)}")
        print("| page, wheel turning | script per frame: median (range) | main thread's CPU per frame | "
              "draws per frame | uploads per frame | KiB uploaded per frame | vertices drawn per frame | "
              "frames per second (frames) | load average |")
        print("|---|---|---|---|---|---|---|---|---|")
        page.click("left")
        # Two seconds of frames first, by which the browser has compiled the
        # page's WebAssembly to its best.
        page.wait("the wheel to turn", lambda: page.evaluate("asked.ran") > 120)
        for rate in (1, 4):
            page.call("Emulation.setCPUThrottlingRate", rate=rate)
            slower = f", CPU {rate}x slower" if rate > 1 else ""
            for mode in ("filled", "wireframe"):
                row(mode + slower, watch(page, options.seconds))
                page.type("W")  # the other mode
        page.call("Emulation.setCPUThrottlingRate", rate=1)
        # A filled frame kept, then the wheel stopped.
        # Registered after the page's own, each callback runs after its frame.
        page.evaluate("requestAnimationFrame(() => { handed.kept = []; handed.keep = true; "
                      "requestAnimationFrame(() => { handed.keep = false; handed.done = true; }); })")
        page.wait("a frame kept", lambda: page.evaluate("handed.done"))
        page.type("P")
        page.wait("the wheel to stop", page.settled)
        page.evaluate(FLOOR)
        for rate in (1, 4):
            page.call("Emulation.setCPUThrottlingRate", rate=rate)
            slower = f", CPU {rate}x slower" if rate > 1 else ""
            row("floor: a filled frame's WebGL calls, nothing computed" + slower, watch(page, options.seconds))
        page.evaluate("floor.running = false")
        devices(page, options.seconds)
        page.evaluate("0")  # the console's last messages
    finally:
        page.close()


if __name__ == "__main__":
    main()
