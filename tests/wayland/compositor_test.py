#!/usr/bin/env python3
"""The game's window and dialogs on real headless compositors, each started here.

sway (headless backend, pixman renderer) offers server-side title bars: the game
window and the dialogs must take them, each dialog's window exactly its client
area, sway's bar outside it. weston (headless backend) offers none: with Qt's
generic decoration the game draws its own caption, and each dialog's window is
its whole client area with the caption above it. Every dialog names the game's
window as its parent. At a fractional scale on sway the buffer is the device
size where Qt uses the fractional-scale protocol (Qt 6.8), else the test says so.

What is checked is read back from the compositor (sway's tree) and from the
protocol the game speaks (WAYLAND_DEBUG), never from Qt's own idea of the windows.

    compositor_test.py WINDOWS_DRIVER        exit 77 when no compositor can run
"""

import glob
import json
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest

DRIVER = None
# The dialogs' client areas, by title.
DIALOGS = {"Vlastní pole": (233, 77), "Blahopřeji": (222, 105), "Nejlepší časy": (323, 154)}
GAME_TITLE = "Quorvel"
CAPTION = 22
# As a non-root user: sway refuses to run as root.
SWAY_UID = 65534


def wait_for(test, what, seconds=20):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        found = test()
        if found:
            return found
        time.sleep(0.05)
    raise AssertionError(f"timed out waiting for {what}")


class Protocol:
    """The requests and events of one run of the game, as WAYLAND_DEBUG logs them."""

    # "[  123.456]  -> xdg_toplevel@14.set_title(...)"; libwayland 1.22 and later
    # name the queue and write "#" for "@".
    CALL = re.compile(r"^\[[ \d.]+\]\s+(?:\{[^}]*\}\s+)?(->\s+)?(\w+)[@#](\d+)\.(\w+)\((.*)\)\s*$")

    def __init__(self, text):
        self.toplevels = {}  # xdg_toplevel id -> record
        surfaces = {}  # xdg_surface id -> wl_surface id
        toplevel_surface = {}  # xdg_toplevel id -> xdg_surface id
        buffers = {}  # wl_buffer id -> (w, h)
        attached = {}  # wl_surface id -> last buffer size
        geometry = {}  # xdg_surface id -> last window geometry
        decorations = {}  # decoration id -> xdg_toplevel id
        modes = {}  # xdg_toplevel id -> last configured mode
        fractional = {}  # fractional scale object -> wl_surface
        self.preferred_scale = {}  # wl_surface -> numerator / 120
        self.destination = {}  # wl_surface -> viewport destination
        viewports = {}
        for line in text.splitlines():
            m = self.CALL.match(line)
            if not m:
                continue
            request, iface, obj, method, args = m.group(1), m.group(2), int(m.group(3)), m.group(4), m.group(5)
            ids = [int(i) for i in re.findall(r"[@#](\d+)", args)]
            if iface == "xdg_wm_base" and method == "get_xdg_surface":
                surfaces[ids[0]] = ids[1]
            elif iface == "xdg_surface" and method == "get_toplevel":
                toplevel_surface[ids[0]] = obj
                self.toplevels[ids[0]] = {"title": None, "parent": None}
            elif iface == "xdg_toplevel" and method == "set_title" and obj in self.toplevels:
                self.toplevels[obj]["title"] = json.loads(args) if args.startswith('"') else args
            elif iface == "xdg_toplevel" and method == "set_parent" and obj in self.toplevels:
                self.toplevels[obj]["parent"] = ids[0] if ids else None
            elif iface == "xdg_surface" and method == "set_window_geometry":
                geometry[obj] = tuple(int(v) for v in args.split(","))
            elif iface == "wl_shm_pool" and method == "create_buffer":
                values = [v.strip() for v in args.split(",")]
                buffers[ids[0]] = (int(values[2]), int(values[3]))
            elif iface == "wl_surface" and method == "attach" and ids:
                attached[obj] = buffers.get(ids[0])
            elif method == "get_toplevel_decoration":
                decorations[ids[0]] = ids[1]
            elif iface == "zxdg_toplevel_decoration_v1" and method == "configure" and not request:
                modes[decorations.get(obj)] = int(args)
            elif method == "get_fractional_scale":
                fractional[ids[0]] = ids[1]
            elif iface == "wp_fractional_scale_v1" and method == "preferred_scale" and not request:
                self.preferred_scale[fractional.get(obj)] = int(args) / 120
            elif method == "get_viewport":
                viewports[ids[0]] = ids[1]
            elif iface == "wp_viewport" and method == "set_destination":
                self.destination[viewports.get(obj)] = tuple(int(v) for v in args.split(","))
        for toplevel, record in self.toplevels.items():
            xdg_surface = toplevel_surface[toplevel]
            record["surface"] = surfaces.get(xdg_surface)
            record["geometry"] = geometry.get(xdg_surface)
            record["buffer"] = attached.get(record["surface"])
            record["mode"] = modes.get(toplevel)

    def window(self, title):
        found = [(i, r) for i, r in self.toplevels.items() if r["title"] == title]
        assert found, f"no window titled {title!r}"
        return found[-1]


class Session:
    """A compositor and one run of the windows driver on it."""

    def __init__(self, work):
        self.work = work
        self.processes = []

    def spawn(self, args, log, **kwargs):
        """Starts `args` in a process group of its own, its errors into the file `log`."""
        with open(log, "w") as errors:
            process = subprocess.Popen(args, start_new_session=True, stderr=errors, **kwargs)
        self.processes.append(process)
        return process

    def stop(self):
        for process in reversed(self.processes):
            if process.stdin:
                process.stdin.close()
            if process.stdout:
                process.stdout.close()
            if process.poll() is None:
                os.killpg(process.pid, signal.SIGTERM)
                try:
                    process.wait(10)
                except subprocess.TimeoutExpired:
                    os.killpg(process.pid, signal.SIGKILL)
                    process.wait()

    def run_driver(self, display, extra_env=None):
        home = os.path.join(self.work, "home")
        runtime = os.path.join(self.work, "driver-runtime")
        os.makedirs(home, exist_ok=True)
        os.makedirs(runtime, mode=0o700, exist_ok=True)
        env = {k: v for k, v in os.environ.items()
               if not k.startswith(("QT_", "XDG_", "WAYLAND_", "DISPLAY"))}
        env.update(HOME=home, XDG_CONFIG_HOME=home, XDG_RUNTIME_DIR=runtime,
                   WAYLAND_DISPLAY=display, QT_QPA_PLATFORM="wayland", WAYLAND_DEBUG="1",
                   # Qt 6.4 follows a null seat into the text-input protocol when a
                   # text field paints on a compositor without input devices (weston
                   # headless); the composing input context keeps it out of there.
                   QT_IM_MODULE="compose")
        env.update(extra_env or {})
        self.log = os.path.join(self.work, "protocol.log")
        self.driver = self.spawn([DRIVER], env=env, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                 log=self.log, text=True)
        said = {}
        while True:
            line = self.driver.stdout.readline()
            if not line:
                with open(self.log, encoding="utf-8", errors="replace") as log:
                    raise AssertionError("the driver ended early: " + log.read()[-3000:])
            key, _, value = line.strip().partition(" ")
            if key in ("shown", "not"):
                assert key == "shown", "a window was never exposed"
                return said
            said[key] = value

    def protocol(self):
        with open(self.log, encoding="utf-8", errors="replace") as log:
            return Protocol(log.read())


def have(*programs):
    return all(shutil.which(p) for p in programs)


class CompositorTest(unittest.TestCase):
    def setUp(self):
        self.work = tempfile.mkdtemp(prefix="quorvel-wayland-")
        os.chmod(self.work, 0o755)
        self.session = Session(self.work)

    def tearDown(self):
        self.session.stop()
        shutil.rmtree(self.work, ignore_errors=True)

    def expect_dialogs_over_the_game(self, protocol, extra_height):
        game, _ = protocol.window(GAME_TITLE)
        for title, (width, height) in DIALOGS.items():
            with self.subTest(dialog=title):
                _, dialog = protocol.window(title)
                self.assertEqual(dialog["parent"], game, "the game's window is its parent")
                x, y, w, h = dialog["geometry"]
                self.assertEqual((w, h), (width, height + extra_height),
                                 "the window is the client area (and the caption)")
                bw, bh = dialog["buffer"]
                self.assertGreaterEqual((bw, bh), (width, height + extra_height))

    # --- sway: the compositor's title bars.

    def start_sway(self, scale):
        if not have("sway", "swaymsg"):
            self.skipTest("sway is not installed (apt-get install sway)")
        runtime = os.path.join(self.work, "sway-runtime")
        os.makedirs(runtime, mode=0o700)
        config = os.path.join(self.work, "sway.config")
        with open(config, "w") as f:
            f.write(f"output * scale {scale}\n"
                    "default_border normal\ndefault_floating_border normal\n")
        as_user = {}
        if os.getuid() == 0:
            os.chown(runtime, SWAY_UID, SWAY_UID)
            as_user = dict(user=SWAY_UID, group=SWAY_UID, extra_groups=[])
        env = dict(PATH=os.environ.get("PATH", "/usr/bin:/bin"), XDG_RUNTIME_DIR=runtime,
                   HOME=runtime, WLR_BACKENDS="headless", WLR_RENDERER="pixman",
                   WLR_LIBINPUT_NO_DEVICES="1", WLR_HEADLESS_OUTPUTS="1")
        self.sway_log = os.path.join(self.work, "sway.log")
        sway = self.session.spawn(["sway", "-c", config], env=env, stdout=subprocess.DEVNULL,
                                  log=self.sway_log, **as_user)

        def ready():
            if sway.poll() is not None:
                self.skipTest(f"sway cannot run here (exit {sway.returncode}); see {self.sway_log}")
            sockets = glob.glob(os.path.join(runtime, "wayland-*"))
            ipc = glob.glob(os.path.join(runtime, "sway-ipc.*.sock"))
            return [s for s in sockets if not s.endswith(".lock")] and ipc and (sockets, ipc)

        sockets, ipc = wait_for(ready, "sway's sockets")
        self.ipc = ipc[0]
        return [s for s in sockets if not s.endswith(".lock")][0]

    def sway_windows(self):
        tree = json.loads(subprocess.run(["swaymsg", "-s", self.ipc, "-r", "-t", "get_tree"],
                                         check=True, capture_output=True, text=True).stdout)
        found = {}

        def walk(node):
            if node.get("name") and node.get("pid"):
                found[node["name"]] = node
            for child in node.get("nodes", []) + node.get("floating_nodes", []):
                walk(child)

        walk(tree)
        return found

    def test_sway_draws_the_title_bars_and_each_dialog_is_whole(self):
        display = self.start_sway(1)
        said = self.session.run_driver(display)
        self.assertEqual(said["title-bar"], "desktop")
        protocol = self.session.protocol()
        _, game = protocol.window(GAME_TITLE)
        self.assertEqual(game["mode"], 2, "the game asked for and got server-side title bars")
        # sway puts its bar on a window once the window's decoration mode is settled.
        titles = [GAME_TITLE, *DIALOGS]
        try:
            windows = wait_for(lambda: (w := self.sway_windows()) and all(
                t in w and w[t]["border"] == "normal" for t in titles) and w,
                "sway's title bars on the windows", seconds=10)
        except AssertionError:
            windows = self.sway_windows()
        for title in titles:
            self.assertEqual(windows[title]["border"], "normal", f"sway's title bar on {title}")
        for title, size in DIALOGS.items():
            with self.subTest(dialog=title):
                node = windows[title]
                self.assertEqual((node["geometry"]["width"], node["geometry"]["height"]), size)
                self.assertEqual(node["type"], "floating_con", "a dialog floats over the game")
        self.expect_dialogs_over_the_game(protocol, 0)

    def test_sway_at_a_fractional_scale_gets_a_buffer_of_device_size(self):
        display = self.start_sway(1.5)
        outputs = json.loads(subprocess.run(["swaymsg", "-s", self.ipc, "-r", "-t", "get_outputs"],
                                            check=True, capture_output=True, text=True).stdout)
        if not outputs or outputs[0].get("scale") != 1.5:
            self.skipTest("sway could not set its output to 1.5 (it needs shared memory, "
                          f"/dev/shm, for its buffers); see {self.sway_log}")
        said = self.session.run_driver(display)
        protocol = self.session.protocol()
        _, game = protocol.window(GAME_TITLE)
        if said["fractional-offered"] != "yes":
            self.skipTest("this sway offers no fractional scale (wp_fractional_scale_v1 came "
                          "with sway 1.8): it gets a whole-factor buffer and scales it itself")
        if game["surface"] not in protocol.preferred_scale:
            self.skipTest("this Qt does not use the fractional-scale protocol (Qt before 6.5): "
                          "the compositor gets a whole-factor buffer and scales it itself")
        self.assertEqual(protocol.preferred_scale[game["surface"]], 1.5)
        self.assertEqual(float(said["ratio"]), 1.5, "the factor passed through to the window")
        x, y, w, h = game["geometry"]
        self.assertEqual(protocol.destination.get(game["surface"]), (w, h))
        self.assertEqual(game["buffer"], (round(w * 1.5), round(h * 1.5)),
                         "the buffer is at device size: the compositor does not resample it")

    # --- weston: no title bars from the compositor.

    def start_weston(self, scale=1):
        if not have("weston"):
            self.skipTest("weston is not installed (apt-get install weston)")
        runtime = os.path.join(self.work, "weston-runtime")
        os.makedirs(runtime, mode=0o700)
        env = dict(PATH=os.environ.get("PATH", "/usr/bin:/bin"), XDG_RUNTIME_DIR=runtime,
                   HOME=runtime)
        self.weston_log = os.path.join(self.work, "weston.log")
        weston = self.session.spawn(
            ["weston", "--backend=headless-backend.so", "--socket=quorvel-test", "--width=1024",
             "--height=768", f"--scale={scale}", "--idle-time=0", "--no-config"],
            env=env, stdout=subprocess.DEVNULL, log=self.weston_log)
        socket = os.path.join(runtime, "quorvel-test")

        def ready():
            if weston.poll() is not None:
                self.skipTest(f"weston cannot run here (exit {weston.returncode}); "
                              f"see {self.weston_log}")
            return os.path.exists(socket)

        wait_for(ready, "weston's socket")
        return socket

    def test_weston_draws_no_title_bars_the_game_draws_its_own_and_each_dialog_is_whole(self):
        display = self.start_weston()
        said = self.session.run_driver(display)
        self.assertEqual(said["title-bar"], "own")
        protocol = self.session.protocol()
        _, game = protocol.window(GAME_TITLE)
        self.assertIsNone(game["mode"], "weston offers no server-side title bars")
        self.expect_dialogs_over_the_game(protocol, CAPTION)


    def test_weston_as_gnome_with_qts_adwaita_decoration_each_dialog_is_whole_below_its_bar(self):
        adwaita = [d for d in ("/usr/lib/x86_64-linux-gnu/qt6/plugins", "/usr/lib/qt6/plugins")
                   if glob.glob(os.path.join(d, "wayland-decoration-client", "*adwaita*"))]
        if not adwaita:
            self.skipTest("this Qt has no Adwaita decoration (it came with Qt 6.8)")
        display = self.start_weston()
        said = self.session.run_driver(display, {"XDG_CURRENT_DESKTOP": "GNOME"})
        self.assertEqual(said["title-bar"], "toolkit")
        protocol = self.session.protocol()
        game, _ = protocol.window(GAME_TITLE)
        for title, (width, height) in DIALOGS.items():
            with self.subTest(dialog=title):
                _, dialog = protocol.window(title)
                self.assertEqual(dialog["parent"], game)
                # Qt's bar above the client area and a thin border round it, all
                # inside the window: nothing of the client area is covered.
                x, y, w, h = dialog["geometry"]
                self.assertLessEqual(0, w - width)
                self.assertLessEqual(w - width, 4, "a border, no more")
                self.assertGreaterEqual(h - height, 30, "a whole title bar above the client area")
                bw, bh = dialog["buffer"]
                self.assertGreaterEqual((bw, bh), (x + w, y + h))


def main():
    global DRIVER
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    DRIVER = os.path.abspath(sys.argv.pop(1))
    if not have("sway") and not have("weston"):
        print("compositor_test: skipped: neither sway nor weston is installed "
              "(scripts/setup installs both)")
        sys.exit(77)
    unittest.main(verbosity=2)


if __name__ == "__main__":
    main()
