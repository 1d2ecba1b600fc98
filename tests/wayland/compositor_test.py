#!/usr/bin/env python3
"""The game's window and dialogs on real headless compositors, each started here.

sway (headless backend, pixman renderer) offers server-side title bars: the game
window and the dialogs must take them, each dialog's window exactly its client
area, sway's bar outside it. weston (headless backend) offers none: with Qt's
generic decoration the game draws its own caption, and each dialog's window is
its whole client area with the caption above it. Every dialog names the game's
window as its parent. At a fractional scale on sway the buffer is the device
size where Qt uses the fractional-scale protocol (Qt 6.8), else the test says so.
A record played on sway with a virtual pointer and keyboard passes the focus from
the name dialog to the best-times table without sway marking the game urgent.

What is checked is read back from the compositor (sway's tree) and from the
protocol the game speaks (WAYLAND_DEBUG), never from Qt's own idea of the windows.

    compositor_test.py WINDOWS_DRIVER        exit 77 when no compositor can run
"""

import ctypes
import glob
import json
import os
import re
import shutil
import signal
import socket
import struct
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


def stop_process(process, seconds):
    """Ends a process started in a session of its own, with all it started:
    SIGTERM, then SIGKILL after `seconds`."""
    if process.poll() is None:
        os.killpg(process.pid, signal.SIGTERM)
        try:
            process.wait(seconds)
        except subprocess.TimeoutExpired:
            os.killpg(process.pid, signal.SIGKILL)
            process.wait()


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


class VirtualPointer:
    """A pointer device made over sway's virtual-pointer protocol, spoken on the
    wire directly (headless sway has no input device, so no client gets a pointer
    without one)."""

    def __init__(self, display):
        registry, globals_ = self.connect(display)
        if "zwlr_virtual_pointer_manager_v1" not in globals_:
            raise unittest.SkipTest("this sway offers no virtual pointer (wlr-virtual-pointer)")
        manager = self.bind(registry, globals_, "zwlr_virtual_pointer_manager_v1")
        self.pointer = self.new_id()
        self.send(manager, 0, struct.pack("<II", 0, self.pointer))  # create_virtual_pointer
        self.roundtrip()
        self.time = 0

    def connect(self, display):
        """Connects to the display; its registry and its globals, interface to name."""
        self.sock = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self.sock.connect(display)
        self.buffer = b""
        self.next_id = 2
        registry = self.new_id()
        self.send(1, 1, struct.pack("<I", registry))  # wl_display.get_registry
        globals_ = {}
        for obj, opcode, body in self.roundtrip():
            if obj == registry and opcode == 0:
                name, length = struct.unpack_from("<II", body)
                globals_[body[8:8 + length - 1].decode()] = name
        return registry, globals_

    def bind(self, registry, globals_, interface):
        new = self.new_id()
        self.send(registry, 0, struct.pack("<I", globals_[interface]) + self.string(interface)
                  + struct.pack("<II", 1, new))  # wl_registry.bind, version 1
        return new

    def new_id(self):
        self.next_id += 1
        return self.next_id - 1

    @staticmethod
    def string(text):
        data = text.encode() + b"\0"
        return struct.pack("<I", len(data)) + data + b"\0" * (-len(data) % 4)

    def send(self, obj, opcode, body):
        self.sock.sendall(struct.pack("<II", obj, (8 + len(body)) << 16 | opcode) + body)

    def roundtrip(self):
        callback = self.new_id()
        self.send(1, 0, struct.pack("<I", callback))  # wl_display.sync
        events = []
        while True:
            while len(self.buffer) < 8 or len(self.buffer) < (struct.unpack_from("<I", self.buffer, 4)[0] >> 16):
                chunk = self.sock.recv(65536)
                if not chunk:
                    raise AssertionError("sway closed the virtual pointer's connection")
                self.buffer += chunk
            obj, word = struct.unpack_from("<II", self.buffer)
            size = word >> 16
            events.append((obj, word & 0xFFFF, self.buffer[8:size]))
            self.buffer = self.buffer[size:]
            if obj == 1 and word & 0xFFFF == 0:
                raise AssertionError("sway reported a protocol error: %r" % events[-1][2])
            if obj == callback:
                return events

    def click_right(self, x, y, x_extent, y_extent):
        """Moves to (x / x_extent, y / y_extent) of the layout, presses and releases."""
        self.click(0x111, x, y, x_extent, y_extent)  # BTN_RIGHT

    def click_left(self, x, y, x_extent, y_extent):
        self.click(0x110, x, y, x_extent, y_extent)  # BTN_LEFT

    def click(self, button, x, y, x_extent, y_extent):
        self.time += 1000
        self.send(self.pointer, 1, struct.pack("<IIIII", self.time, x, y, x_extent, y_extent))
        self.send(self.pointer, 4, b"")  # frame
        for state in (1, 0):
            self.send(self.pointer, 2, struct.pack("<III", self.time, button, state))
            self.send(self.pointer, 4, b"")
        self.roundtrip()

    def close(self):
        self.sock.close()


class VirtualKeyboard(VirtualPointer):
    """A keyboard made over the virtual-keyboard protocol, with the default XKB
    keymap (libxkbcommon's), its keys pressed by their evdev codes."""

    ENTER = 28
    LETTERS = {"a": 30, "b": 48, "c": 46}

    def __init__(self, display):
        registry, globals_ = self.connect(display)
        if "zwp_virtual_keyboard_manager_v1" not in globals_:
            raise unittest.SkipTest("this sway offers no virtual keyboard")
        seat = self.bind(registry, globals_, "wl_seat")
        manager = self.bind(registry, globals_, "zwp_virtual_keyboard_manager_v1")
        self.keyboard = self.new_id()
        self.send(manager, 0, struct.pack("<II", seat, self.keyboard))  # create_virtual_keyboard
        keymap = self.default_keymap() + b"\0"
        fd = os.memfd_create("keymap")
        try:
            os.write(fd, keymap)
            body = struct.pack("<II", 1, len(keymap))  # XKB_V1, the size; the fd goes alongside
            header = struct.pack("<II", self.keyboard, (8 + len(body)) << 16 | 0)
            self.sock.sendmsg([header + body],
                              [(socket.SOL_SOCKET, socket.SCM_RIGHTS, struct.pack("i", fd))])
        finally:
            os.close(fd)
        self.roundtrip()
        self.time = 0

    @staticmethod
    def default_keymap():
        try:
            xkb = ctypes.CDLL("libxkbcommon.so.0")
        except OSError:
            raise unittest.SkipTest("libxkbcommon is missing: no keymap for a virtual keyboard")
        xkb.xkb_context_new.restype = ctypes.c_void_p
        xkb.xkb_keymap_new_from_names.restype = ctypes.c_void_p
        xkb.xkb_keymap_new_from_names.argtypes = [ctypes.c_void_p, ctypes.c_void_p, ctypes.c_int]
        xkb.xkb_keymap_get_as_string.restype = ctypes.c_void_p
        xkb.xkb_keymap_get_as_string.argtypes = [ctypes.c_void_p, ctypes.c_int]
        xkb.xkb_keymap_unref.argtypes = [ctypes.c_void_p]
        xkb.xkb_context_unref.argtypes = [ctypes.c_void_p]
        libc = ctypes.CDLL(None)
        libc.free.argtypes = [ctypes.c_void_p]
        context = xkb.xkb_context_new(0)
        keymap = xkb.xkb_keymap_new_from_names(context, None, 0)
        text = xkb.xkb_keymap_get_as_string(keymap, 1)  # XKB_KEYMAP_FORMAT_TEXT_V1
        try:
            return ctypes.string_at(text)
        finally:
            libc.free(text)
            xkb.xkb_keymap_unref(keymap)
            xkb.xkb_context_unref(context)

    def press(self, code):
        """Presses and releases the key with this evdev code."""
        for state in (1, 0):
            self.time += 20
            self.send(self.keyboard, 1, struct.pack("<III", self.time, code, state))  # key
        self.roundtrip()


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
            stop_process(process, 10)

    def run_driver(self, display, extra_env=None, args=()):
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
        self.drawn = []
        self.driver = self.spawn([DRIVER, *args], env=env, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
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

    def ask(self, question):
        """The driver's answer to one line; cells drawn meanwhile go to self.drawn."""
        self.driver.stdin.write(question + "\n")
        self.driver.stdin.flush()
        word = question.split()[0]
        while True:
            line = self.driver.stdout.readline()
            if not line:
                raise AssertionError("the driver ended early")
            if line.startswith("drawn "):
                self.drawn.append(tuple(int(v) for v in line.split()[1:]))
            elif line.startswith(word + " "):
                return line.split()[1:]

    def ratio(self, wanted):
        """The window's factor once it is `wanted`, or what it is after 5 s: the
        compositor announces a fractional scale after the window is shown."""
        try:
            return wait_for(lambda: float(self.ask("ratio")[0]) == wanted and wanted,
                            "the factor", seconds=5)
        except AssertionError:
            return float(self.ask("ratio")[0])

    def next_drawn(self):
        while not self.drawn:
            line = self.driver.stdout.readline()
            if not line:
                raise AssertionError("the driver ended before the game drew a cell")
            if line.startswith("drawn "):
                self.drawn.append(tuple(int(v) for v in line.split()[1:]))
        return self.drawn.pop(0)

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
        runtime = tempfile.mkdtemp(dir=self.work, prefix="sway-runtime-")
        config = os.path.join(runtime, "sway.config")
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
        self.sway_log = runtime + ".log"
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

    def start_sway_at(self, scale):
        display = self.start_sway(scale)
        self.outputs = json.loads(subprocess.run(
            ["swaymsg", "-s", self.ipc, "-r", "-t", "get_outputs"],
            check=True, capture_output=True, text=True).stdout)
        if not self.outputs or self.outputs[0].get("scale") != scale:
            self.skipTest(f"sway could not set its output to {scale} (it needs shared memory, "
                          f"/dev/shm, for its buffers); see {self.sway_log}")
        return display

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

    def test_sway_a_record_s_name_then_table_leave_the_game_window_unmarked(self):
        """A player wins with a record, types a name and presses Enter, then Enter
        again on the best-times table. sway marks a window urgent when it is asked
        to activate it while another has the focus: the game's window never is."""
        # Without a /dev/shm that sway's user may write (a bare chroot), sway cannot
        # set a scale (see start_sway_at), and the virtual pointer's clicks were seen
        # never to reach the game.
        try:
            shared_memory = bool(os.stat("/dev/shm").st_mode & 0o002)
        except OSError:
            shared_memory = False
        if not shared_memory:
            self.skipTest("sway needs shared memory, /dev/shm, that its user may write")
        display = self.start_sway(1)
        self.session.run_driver(display, args=["board"])
        node = wait_for(lambda: (n := self.sway_windows().get(GAME_TITLE)) and n["border"] == "normal"
                        and n, "sway's title bar on the game")
        left = node["rect"]["x"] + node["window_rect"]["x"]
        top = node["rect"]["y"] + node["window_rect"]["y"]
        outputs = json.loads(subprocess.run(["swaymsg", "-s", self.ipc, "-r", "-t", "get_outputs"],
                                            check=True, capture_output=True, text=True).stdout)
        width, height = outputs[0]["rect"]["width"], outputs[0]["rect"]["height"]
        pointer = VirtualPointer(display)
        keyboard = VirtualKeyboard(display)
        urgent = []

        def watch(moment):
            windows = self.sway_windows()
            urgent.extend(f"{title} {moment}" for title, n in windows.items() if n.get("urgent"))
            return windows

        # Every safe cell by a left click, as the game reports them; a new settings
        # file holds no times, so the win is a record.
        for _ in range(200):
            answer = self.session.ask("next")
            if answer == ["none"]:
                break
            c, r, x, y = (int(v) for v in answer)
            pointer.click_left(left + x, top + y, width, height)
            wait_for(lambda: self.session.ask(f"covered {c} {r}") == ["no"], f"cell {c} {r} opened", 5)
        wait_for(lambda: "Blahopřeji" in watch("while the name dialog shows"), "the name dialog")
        for letter in "abc":
            keyboard.press(VirtualKeyboard.LETTERS[letter])
        keyboard.press(VirtualKeyboard.ENTER)
        wait_for(lambda: (w := watch("after the name")) and "Nejlepší časy" in w
                 and "Blahopřeji" not in w, "the table in place of the name dialog")
        # sway's answer to a late request comes within a few of its round trips.
        end = time.monotonic() + 1
        while time.monotonic() < end:
            watch("while the table shows")
            time.sleep(0.05)
        keyboard.press(VirtualKeyboard.ENTER)
        wait_for(lambda: "Nejlepší časy" not in watch("after the table"), "the table closed")
        pointer.close()
        keyboard.close()
        self.assertEqual(sorted(set(urgent)), [], "windows that sway marked urgent")
        # Whether sway hears Qt's request before the table takes the focus is a race;
        # what makes the race is the game's window getting the focus between the two
        # dialogs, and that the protocol shows every time.
        _, game = self.session.protocol().window(GAME_TITLE)
        with open(self.session.log, encoding="utf-8", errors="replace") as log:
            entered = [int(m.group(1)) == game["surface"] for m in re.finditer(
                r"wl_keyboard[@#]\d+\.enter\(\d+, wl_surface[@#](\d+)", log.read())]
        dialogs = [i for i, on_game in enumerate(entered) if not on_game]
        self.assertGreaterEqual(len(dialogs), 2, "the name dialog and the table had the keyboard")
        self.assertNotIn(True, entered[dialogs[0]:dialogs[-1]],
                         "the game's window had the keyboard between the name dialog and the table")

    def test_sway_at_a_fractional_scale_gets_a_buffer_of_device_size(self):
        display = self.start_sway_at(1.5)
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
        self.assertEqual(self.session.ratio(1.5), 1.5, "the factor passed through to the window")
        x, y, w, h = game["geometry"]
        self.assertEqual(protocol.destination.get(game["surface"]), (w, h))
        self.assertEqual(game["buffer"], (round(w * 1.5), round(h * 1.5)),
                         "the buffer is at device size: the compositor does not resample it")

    def test_sway_at_fractional_scales_a_click_beside_a_cell_edge_chooses_the_cell_painted_there(self):
        for scale, (p, q) in ((1.25, (5, 4)), (1.5, (3, 2)), (1.75, (7, 4))):
            with self.subTest(scale=scale):
                self.clicks_beside_cell_edges(scale, p, q)
                self.session.stop()
                self.session = Session(self.work)

    def clicks_beside_cell_edges(self, scale, p, q):
        """`scale` is p / q."""
        display = self.start_sway_at(scale)
        said = self.session.run_driver(display, args=["board"])
        if said["fractional-offered"] != "yes":
            self.skipTest("this sway offers no fractional scale (sway before 1.8)")
        ratio = self.session.ratio(scale)
        if ratio != scale:
            self.skipTest(f"the window's factor is {ratio}, not {scale}: this Qt does not use "
                          "the fractional-scale protocol (Qt before 6.5)")
        node = wait_for(lambda: self.sway_windows().get(GAME_TITLE), "the game in sway's tree")
        # The surface's origin in the layout, in logical pixels; the centre of the
        # surface's device pixel d lies (d + 1/2) / scale = (2d + 1) q / 2p from it,
        # a whole number of 2p-ths.
        left = node["rect"]["x"] + node["window_rect"]["x"]
        top = node["rect"]["y"] + node["window_rect"]["y"]
        width, height = self.outputs[0]["rect"]["width"], self.outputs[0]["rect"]["height"]
        pointer = VirtualPointer(display)
        x0, y0, x1, y1 = (int(v) for v in self.session.ask("field"))
        tried = right = 0
        wrong = []
        for y in ((y0 + y1) // 2, (y0 + y1) // 2 + 1):
            painted = []
            for x in range(x0, x1):
                answer = self.session.ask(f"paints {x} {y}")
                painted.append(None if answer == ["none"] else tuple(int(v) for v in answer))
            # The device pixels on either side of each edge between two cells.
            for i in range(1, len(painted) - 1):
                cell = painted[i]
                if cell is None or (painted[i - 1] == cell and painted[i + 1] == cell):
                    continue
                x = x0 + i
                pointer.click_right(2 * p * left + (2 * x + 1) * q, 2 * p * top + (2 * y + 1) * q,
                                    2 * p * width, 2 * p * height)
                chosen = self.session.next_drawn()
                tried += 1
                if chosen == cell:
                    right += 1
                else:
                    wrong.append((x, y, cell, chosen))
        pointer.close()
        print(f"\n{right} of {tried} clicks beside cell edges at {scale} chose the painted cell",
              file=sys.stderr)
        self.assertGreater(tried, 20)
        self.assertEqual(wrong, [], "device pixel, painted, chosen")

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
