"""What the page costs the browser's main thread while the wheel turns, in
Chromium's headless shell: script time per frame (DevTools
Performance.getMetrics, ScriptDuration over the time watched, divided by the
frames the page drew), WebGL draws, uploads and vertices per frame, and
frames per second; filled and in wireframe, then again with the CPU slowed
down four times (Emulation.setCPUThrottlingRate). The floor is the page's
own vertex count uploaded and drawn each frame with nothing computed.

  web_bench.py PAGE [--seconds S]"""
import argparse
import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "web"))
from drive import Page  # noqa: E402

# Counts what the page hands WebGL, whatever context it draws with.
COUNT_GL = """
window.handed = {draws: 0, uploads: 0, vertices: 0};
for (const context of [WebGLRenderingContext, window.WebGL2RenderingContext]) {
  if (!context) continue;
  const p = context.prototype, drawArrays = p.drawArrays, drawElements = p.drawElements;
  p.drawArrays = function(mode, first, count) { handed.draws++; handed.vertices += count;
                                                return drawArrays.apply(this, arguments); };
  p.drawElements = function(mode, count) { handed.draws++; handed.vertices += count;
                                           return drawElements.apply(this, arguments); };
  for (const name of ['bufferData', 'bufferSubData']) {
    const upload = p[name];
    p[name] = function() { handed.uploads++; return upload.apply(this, arguments); };
  }
}
"""

# The floor: VERTICES vertices of the page's layout (12 floats each) uploaded
# and drawn in every frame, in the page's own WebGL context.
FLOOR = """
window.floor = {running: true};
(() => {
  const gl = canvas.getContext('webgl'), data = new Float32Array(%d * 12);
  requestAnimationFrame(function step() {
    if (!floor.running) return;
    gl.bufferData(gl.ARRAY_BUFFER, data, gl.STREAM_DRAW);
    gl.drawArrays(gl.TRIANGLES, 0, %d);
    requestAnimationFrame(step);
  });
})();
"""


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
        return [metrics["Timestamp"], metrics["ScriptDuration"]] + page.evaluate(
            "[asked.ran, handed.draws, handed.uploads, handed.vertices]")

    load = load_average()
    samples = [sample()]
    for _ in range(windows):
        time.sleep(seconds / windows)
        samples.append(sample())
    script = []
    for a, b in zip(samples, samples[1:]):
        if b[2] == a[2]:
            raise SystemExit("no frame ran in %g s: the page is not animating" % (b[0] - a[0]))
        script.append((b[1] - a[1]) * 1000 / (b[2] - a[2]))
    first, last = samples[0], samples[-1]
    frames = last[2] - first[2]
    per_frame = [(b - a) / frames for a, b in zip(first[3:], last[3:])]
    return {"script": sorted(script)[len(script) // 2], "low": min(script), "high": max(script),
            "draws": per_frame[0], "uploads": per_frame[1], "vertices": per_frame[2],
            "fps": frames / (last[0] - first[0]), "frames": frames, "load": load}


def row(name, f):
    print(f"| {name} | {f['script']:.3f} ms ({f['low']:.3f}–{f['high']:.3f}) | {f['draws']:.2f} | "
          f"{f['uploads']:.2f} | {f['vertices']:,.0f} | {f['fps']:.1f} ({f['frames']}) | {f['load']} |")


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
        print(f"machine: {machine()}; each measure over {options.seconds:g} s in 5 windows")
        print("| page, wheel turning | script per frame: median (range) | draws per frame | uploads per frame | "
              "vertices per frame | frames per second (frames) | load average |")
        print("|---|---|---|---|---|---|---|")
        page.click("left")
        page.wait("the wheel to turn", lambda: page.evaluate("asked.ran") > 20)
        vertices = 0
        for rate in (1, 4):
            page.call("Emulation.setCPUThrottlingRate", rate=rate)
            slower = f", CPU {rate}x slower" if rate > 1 else ""
            for mode in ("filled", "wireframe"):
                figures = watch(page, options.seconds)
                row(mode + slower, figures)
                if rate == 1 and mode == "filled":
                    vertices = round(figures["vertices"])
                page.type("W")  # the other mode
        page.call("Emulation.setCPUThrottlingRate", rate=1)
        page.type("P")
        page.wait("the wheel to stop", page.settled)
        page.evaluate(FLOOR % (vertices, vertices))
        row(f"floor: {vertices:,} vertices uploaded and drawn, nothing computed", watch(page, options.seconds))
        page.evaluate("floor.running = false")
        page.evaluate("0")  # the console's last messages
    finally:
        page.close()


if __name__ == "__main__":
    main()
