#!/usr/bin/env python3
"""Times how a window reacts to a click under a headless sway: from the button
release sent over sway's IPC to the window's last wl_surface.commit for the move,
and counts the Wayland requests its client sends meanwhile. Started by
bench/wayland-reaction, which checks the tools; this starts sway (headless
backend, pixman renderer) at each scale and the programs on it, and prints one
line of figures per scale and mode.

    wayland_reaction.py GAME FLOOR MOVES SCALES TIMING

MODE: loss  the game on a side-10 board crowded with mines: a new game (a click
            on the face button), a first click, then clicks on cells until one
            loses; the losing click is timed (its redrawing spans the board)
      open  the game on a side-10 board with few mines: a new game, then the
            first click in the middle is timed where it opens a big area (its
            redrawing spans the board; a first click on a number is left out)
      floor a window that repaints its whole area once on a release
TIMING: client  commits as the program's own libwayland logs them
                (WAYLAND_DEBUG=client), stamped when the program sends them
        server  commits as sway's libwayland logs them (WAYLAND_DEBUG=server),
                stamped when sway reads them; the program logs nothing
        server+client  timed as server, the program logging as client: the
                difference from server is what the program's own log costs it
A move ends once no commit has come for 50 ms; a commit whose damage lies only in
the clock's digits (it ticks once a second) is not part of a move. Times are in
milliseconds.
"""

import glob
import json
import os
import queue
import re
import socket
import struct
import subprocess
import sys
import tempfile
import threading
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.realpath(__file__)), "..", "tests", "wayland"))
from compositor_test import Protocol, VirtualPointer, stop_process  # noqa: E402  (the wire, spoken once)

QUIET_MS = 50
SIDE = 10
CLIENT = (354, 371)  # the game's client area at side 10, logical pixels
# In the client area at side 10 (shell/client_layout.h): the clock's box, which
# holds its digits, and the face button.
CLOCK = (295, 15, 41, 25)
FACE = (152, 15, 32, 26)
BOARD_TOP = 52
# sway refuses to run as root; as root it runs as this user.
SWAY_UID = 65534
# Device pixels of the headless output: the game's window (354 x 390 and sway's
# title bar) fits at 3x with room around it.
OUTPUT_MODE = (1200, 1350)
STAMP = re.compile(r"^\[\s*(\d+)\.(\d+)\]")
IDS = re.compile(r"[@#](\d+)")


def fail(message):
    sys.exit(f"wayland-reaction: {message}")


class Stamps:
    """libwayland's log stamps: CLOCK_REALTIME in milliseconds with three
    decimals, wrapping at 2^32 microseconds in Debian 12's and 13's libwayland
    alike (about every 72 minutes). Should a later one wrap at 2^32 milliseconds,
    the first stamp read tells."""

    WRAPS = (2**32 / 1000, 2**32)

    def __init__(self):
        self.wrap = None

    def now(self):
        return (time.time_ns() / 1e6) % self.wrap

    def calibrate(self, stamp):
        ms = time.time_ns() / 1e6
        best = min(self.WRAPS, key=lambda w: abs(self.diff(stamp, ms % w, w)))
        if abs(self.diff(stamp, ms % best, best)) > 5000:
            fail(f"libwayland's stamp {stamp} is no wall-clock time this driver knows")
        self.wrap = best

    def diff(self, a, b, wrap=None):
        """a - b in milliseconds, across the wrap."""
        wrap = wrap or self.wrap
        return (a - b + wrap / 2) % wrap - wrap / 2


class Log:
    """The lines a libwayland debug log writes to a pipe, read by a thread of
    their own (the writer must never block on a full pipe)."""

    def __init__(self, pipe, copy):
        self.lines = queue.Queue()
        self.copy = copy
        self.thread = threading.Thread(target=self.pump, args=(pipe,), daemon=True)
        self.thread.start()

    def pump(self, pipe):
        for line in iter(pipe.readline, b""):
            text = line.decode("utf-8", "replace")
            self.copy.write(text)
            self.lines.put(text)
        self.lines.put(None)

    def close(self):
        """Once the writer has ended: the rest of the log to the copy, then closes it."""
        self.thread.join(5)
        self.copy.close()

    def next(self, timeout):
        try:
            line = self.lines.get(timeout=max(timeout, 0))
        except queue.Empty:
            return ""
        if line is None:
            fail("the program (or sway) closed its log: see the logs in the work folder")
        return line


class Ipc:
    """sway's IPC: "i3-ipc", the payload's length and type (native u32s), the payload."""

    MAGIC = b"i3-ipc"

    def __init__(self, path):
        self.sock = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self.sock.connect(path)

    def send(self, kind, payload=""):
        data = payload.encode()
        self.sock.sendall(self.MAGIC + struct.pack("=II", len(data), kind) + data)

    def reply(self):
        head = self.read(14)
        length, _ = struct.unpack("=II", head[6:])
        return json.loads(self.read(length))

    def read(self, size):
        data = b""
        while len(data) < size:
            chunk = self.sock.recv(size - len(data))
            if not chunk:
                fail("sway closed its IPC socket")
            data += chunk
        return data

    def command(self, text):
        self.send(0, text)
        answers = self.reply()
        if not all(a.get("success") for a in answers):
            fail(f"sway refused {text!r}: {answers}")

    def tree(self):
        self.send(4)
        return self.reply()


class Sway:
    """A headless sway of its own with one output at a scale."""

    def __init__(self, work, scale, log_protocol):
        self.runtime = tempfile.mkdtemp(dir=work, prefix="sway-")
        config = os.path.join(self.runtime, "config")
        with open(config, "w") as f:
            f.write("xwayland disable\ndefault_border normal\ndefault_floating_border normal\n"
                    f"output HEADLESS-1 mode {OUTPUT_MODE[0]}x{OUTPUT_MODE[1]}\n")
        as_user = {}
        if os.getuid() == 0:
            os.chown(self.runtime, SWAY_UID, SWAY_UID)
            as_user = dict(user=SWAY_UID, group=SWAY_UID, extra_groups=[])
        env = dict(PATH=os.environ.get("PATH", "/usr/bin:/bin"), XDG_RUNTIME_DIR=self.runtime,
                   HOME=self.runtime, WLR_BACKENDS="headless", WLR_RENDERER="pixman",
                   WLR_LIBINPUT_NO_DEVICES="1", WLR_HEADLESS_OUTPUTS="1")
        if log_protocol:
            env["WAYLAND_DEBUG"] = "server"
        self.log_path = os.path.join(work, f"sway-{scale}.log")
        self.copy = open(self.log_path, "w")
        self.process = subprocess.Popen(["sway", "-c", config], env=env, start_new_session=True,
                                        stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                        stderr=subprocess.PIPE, **as_user)
        self.log = Log(self.process.stderr, self.copy)
        end = time.monotonic() + 20
        while time.monotonic() < end:
            if self.process.poll() is not None:
                fail(f"sway ended (exit {self.process.returncode}): see {self.log_path}")
            sockets = [s for s in glob.glob(os.path.join(self.runtime, "wayland-*"))
                       if not s.endswith(".lock")]
            ipc = glob.glob(os.path.join(self.runtime, "sway-ipc.*.sock"))
            if sockets and ipc:
                break
            time.sleep(0.05)
        else:
            fail(f"sway showed no sockets within 20 s: see {self.log_path}")
        self.display = sockets[0]
        self.ipc = Ipc(ipc[0])
        self.scale = scale
        self.ipc.command(f"output HEADLESS-1 scale {scale}")
        self.ipc.send(3)
        output = [o for o in self.ipc.reply() if o["name"] == "HEADLESS-1"][0]
        if output["scale"] != scale:
            fail(f"sway's output is at {output['scale']}, not {scale}")
        self.output = output["rect"]
        # Headless sway has no input device, so the seat offers no pointer: a
        # virtual one gives it one; the clicks themselves go through the IPC.
        self.pointer = VirtualPointer(self.display)

    def window(self, pid):
        """sway's node of the window of process `pid`, once it has one."""

        def walk(node):
            # sway puts its title bar on once the window's decoration is settled,
            # and moves the window's content down then.
            if node.get("pid") == pid and node.get("visible") and node.get("border") == "normal":
                return node
            for child in node.get("nodes", []) + node.get("floating_nodes", []):
                found = walk(child)
                if found:
                    return found
            return None

        end = time.monotonic() + 60
        while time.monotonic() < end:
            found = walk(self.ipc.tree())
            if found:
                return found
            time.sleep(0.1)
        return None

    def stop(self):
        self.pointer.close()
        stop_process(self.process, 5)
        self.log.close()


class Move:
    def __init__(self):
        self.ms = None  # release to the last commit; None when nothing was committed
        self.requests = self.commits = self.damages = 0
        self.board = None  # the bounding box of the board's damage, device pixels


class Program:
    """One program on sway, with the protocol log that times it: its own
    (client timing) or sway's (server timing)."""

    def __init__(self, sway, work, name, argv, settings, timing, stamps):
        self.sway, self.stamps = sway, stamps
        home = tempfile.mkdtemp(dir=work, prefix="home-")
        runtime = os.path.join(home, "runtime")
        os.makedirs(os.path.join(home, ".config"))
        os.makedirs(runtime, mode=0o700)
        if settings:
            with open(os.path.join(home, ".config", "winmine.ini"), "w", newline="") as f:
                f.write(settings)
        env = {k: v for k, v in os.environ.items()
               if not k.startswith(("QT_", "XDG_", "WAYLAND_", "DISPLAY"))}
        env.update(HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"),
                   XDG_RUNTIME_DIR=runtime, WAYLAND_DISPLAY=sway.display,
                   QT_QPA_PLATFORM="wayland")
        if timing in ("client", "server+client"):
            env["WAYLAND_DEBUG"] = "client"
        self.copy = open(os.path.join(work, f"{name}-{sway.scale:g}.log"), "w")
        self.process = subprocess.Popen(argv, env=env, start_new_session=True,
                                        stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                        stderr=subprocess.PIPE)
        self.own_log = Log(self.process.stderr, self.copy)
        self.log = self.own_log if timing == "client" else sway.log
        self.requests_have_arrow = timing == "client"
        self.xdg_surfaces = {}  # xdg_surface -> wl_surface
        self.surface = None  # the toplevel's wl_surface
        self.damage = []  # since the surface's last commit, device pixels
        self.scale = 1
        self.clock = None
        self.requests = []  # (stamp, wl_surface request or "") while recording
        self.recording = False
        self.move_damage = []

    def show(self, menu_bar, warm_up):
        node = self.sway.window(self.process.pid)
        if node is None:
            fail(f"{os.path.basename(self.process.args[0])} showed no window in 60 s "
                 f"(see {self.copy.name})")
        if node["type"] != "floating_con":
            fail(f"sway tiles the window ({node['type']}): a fixed-size window should float")
        rect, inner = node["rect"], node["window_rect"]
        self.origin = (rect["x"] + inner["x"], rect["y"] + inner["y"])
        self.size = (inner["width"], inner["height"])
        out = self.sway.output
        deco = node["deco_rect"]
        if (rect["x"] < out["x"] or rect["y"] - deco["height"] < out["y"]
                or rect["x"] + rect["width"] > out["x"] + out["width"]
                or rect["y"] + rect["height"] > out["y"] + out["height"]):
            fail(f"the window {rect} does not fit on the output {out}")
        self.menu_bar = menu_bar(self.size)
        self.scale = self.sway.scale
        x, y, w, h = CLOCK
        self.clock = self.device((x, y + self.menu_bar, w, h))
        while self.surface is None:
            self.read(1.0)
        self.settle(self.stamps.now())
        # The first press after the pointer enters the window can go before the
        # window has the pointer: one click, not timed, on a spot the caller names.
        self.click(*warm_up(self.size, self.menu_bar))

    def device(self, rect):
        return tuple(round(v * self.scale) for v in rect)

    def read(self, timeout):
        """Reads one line of the log (waiting at most `timeout` seconds); returns
        the stamp of a commit that ends a move, else None."""
        line = self.log.next(timeout)
        m = Protocol.CALL.match(line)
        if not m:
            return None
        stamp = STAMP.match(line)
        stamp = float(f"{stamp.group(1)}.{stamp.group(2)}")
        if self.stamps.wrap is None:
            self.stamps.calibrate(stamp)
        arrow, iface, obj, method, args = m.group(1), m.group(2), int(m.group(3)), m.group(4), m.group(5)
        if bool(arrow) != self.requests_have_arrow:
            return None  # an event
        ids = [int(i) for i in IDS.findall(args)]
        if self.recording:
            self.requests.append((stamp, method if iface == "wl_surface" else ""))
        if iface == "xdg_wm_base" and method == "get_xdg_surface":
            self.xdg_surfaces[ids[0]] = ids[1]
        elif iface == "xdg_surface" and method == "get_toplevel" and self.surface is None:
            self.surface = self.xdg_surfaces.get(obj)
        elif iface == "wl_surface" and obj == self.surface and method in ("damage", "damage_buffer"):
            x, y, w, h = (int(v) for v in args.split(","))
            factor = self.scale if method == "damage" else 1
            self.damage.append((x * factor, y * factor, w * factor, h * factor))
        elif iface == "wl_surface" and obj == self.surface and method == "commit":
            damage, self.damage = self.damage, []
            if damage and all(inside(r, self.clock) for r in damage):
                return None
            self.move_damage.extend(damage)
            return stamp
        return None

    def settle(self, start):
        """Reads the log until no commit has come for QUIET_MS after `start`
        (a stamp); returns the last commit's stamp, or None."""
        last = None
        self.move_damage = []
        while True:
            since = last if last is not None else start
            left = QUIET_MS - self.stamps.diff(self.stamps.now(), since)
            if left <= 0:
                return last
            stamp = self.read(left / 1000)
            if stamp is not None and self.stamps.diff(stamp, start) >= 0:
                last = stamp

    def click(self, x, y):
        """Presses at (x, y) in logical pixels of the window, lets the press
        settle, then times the release."""
        ipc = self.sway.ipc
        ipc.command(f"seat seat0 cursor set {self.origin[0] + x} {self.origin[1] + y}")
        ipc.command("seat seat0 cursor press button1")
        self.settle(self.stamps.now())
        self.requests, self.recording = [], True
        t0 = self.stamps.now()
        ipc.send(0, "seat seat0 cursor release button1")
        ipc.reply()
        last = self.settle(t0)
        self.recording = False
        move = Move()
        if last is None:
            return move
        move.ms = self.stamps.diff(last, t0)
        sent = [kind for stamp, kind in self.requests
                if self.stamps.diff(stamp, t0) >= 0 and self.stamps.diff(stamp, last) <= 0]
        move.requests = len(sent)
        move.commits = sent.count("commit")
        move.damages = sent.count("damage") + sent.count("damage_buffer")
        top = round((self.menu_bar + BOARD_TOP) * self.scale)
        board = [(x, max(y, top), w, y + h - max(y, top)) for x, y, w, h in self.move_damage
                 if y + h > top]
        if board:
            move.board = (min(r[0] for r in board), min(r[1] for r in board),
                          max(r[0] + r[2] for r in board), max(r[1] + r[3] for r in board))
        return move

    def stop(self):
        stop_process(self.process, 5)
        self.own_log.close()


def inside(r, box):
    return (r[0] >= box[0] and r[1] >= box[1] and r[0] + r[2] <= box[0] + box[2]
            and r[1] + r[3] <= box[1] + box[3])


def cell_point(c, r):
    """The middle of cell (c, r)'s anchor pixel, in logical pixels of the client
    area: where the X driver clicks."""
    return 9 + 17 * c + 12 + 0.5, BOARD_TOP + 8 * r + 3 + 0.5


def is_cell(c, r):
    d = abs(c - (SIDE - 1))
    return 0 <= c <= 2 * SIDE - 2 and d <= r <= 4 * (SIDE - 1) - d and (r - d) % 2 == 0


class Cells:
    """The same pseudo-random cells as the X driver picks."""

    def __init__(self):
        self.seed = 35

    def next(self):
        while True:
            self.seed = (self.seed * 1103515245 + 12345) % 2**32
            c, r = (self.seed >> 8) % 19, (self.seed >> 16) % 37
            if is_cell(c, r):
                return c, r


def spans_board(move, scale):
    """A loss shows every mine and a big opening opens most of the board: their
    redrawing spans most of it, where a safe click on a crowded board, or a first
    click on a number, opens a cell or a small patch."""
    if move.board is None:
        return False
    x0, y0, x1, y1 = move.board
    return x1 - x0 >= 150 * scale and y1 - y0 >= 150 * scale


def face_button(size, menu_bar):
    """The face button's middle in the window, logical pixels."""
    return FACE[0] + FACE[2] / 2, FACE[1] + FACE[3] / 2 + menu_bar


def play(program, mode, n):
    def in_client(x, y):
        return program.click(x, y + program.menu_bar)

    moves = []
    centre = cell_point(SIDE - 1, 2 * (SIDE - 1))
    cells = Cells()
    while len(moves) < n:
        if mode == "floor":
            moves.append(program.click(program.size[0] / 2, program.size[1] / 2))
            continue
        program.click(*face_button(program.size, program.menu_bar))  # a new game
        first = in_client(*centre)
        if mode == "open":
            if spans_board(first, program.scale):
                moves.append(first)
            continue
        if spans_board(first, program.scale):
            continue
        tried = {(SIDE - 1, 2 * (SIDE - 1))}
        while len(tried) < 120:
            cell = cells.next()
            if cell in tried:
                continue
            tried.add(cell)
            move = in_client(*cell_point(*cell))
            if spans_board(move, program.scale):
                moves.append(move)
                break
    return moves


def report(mode, scale, moves):
    timed = sorted(m.ms for m in moves if m.ms is not None)
    if len(timed) < len(moves):
        print(f"{mode}: {len(moves) - len(timed)} moves committed nothing", file=sys.stderr)
    if not timed:
        fail(f"{mode} at {scale}: no move committed anything")
    p95 = timed[round(0.95 * (len(timed) - 1))]

    def spread(values):
        values = sorted(values)
        return f"median {values[len(values) // 2]} max {values[-1]}"

    print(f"{mode:<5} scale {scale:g}  moves {len(timed)}  last commit ms: median "
          f"{timed[len(timed) // 2]:.2f}  p95 {p95:.2f}  max {timed[-1]:.2f}  |  requests: "
          f"{spread(m.requests for m in moves)}  (commits {spread(m.commits for m in moves)}, "
          f"damage {spread(m.damages for m in moves)})", flush=True)


def custom(mines):
    return f"[Quorvel]\r\nDifficulty=3\r\nSize=10\r\nMines={mines}\r\nFace=0\r\n"


def load():
    with open("/proc/loadavg") as f:
        return " ".join(f.read().split()[:3])


def main():
    if len(sys.argv) != 7:
        sys.exit(__doc__)
    game, floor, n, scales, timing, work = sys.argv[1:]
    n = int(n)
    if timing not in ("client", "server", "server+client"):
        fail("TIMING is client, server or server+client")
    print(f"build: {os.path.dirname(game)}, {n} moves each, {timing} timing, "
          f"load {load()}", flush=True)
    for scale in (float(s) if "." in s else int(s) for s in scales.split()):
        sway = Sway(work, scale, timing != "client")
        stamps = Stamps()
        size = (354, 390)
        try:
            for mode, mines in (("loss", 135), ("open", 14)):
                program = Program(sway, work, mode, [game], custom(mines), timing, stamps)
                try:
                    program.show(lambda s: s[1] - CLIENT[1], face_button)
                    size = program.size
                    report(mode, scale, play(program, mode, n))
                finally:
                    program.stop()
            program = Program(sway, work, "floor", [floor, str(size[0]), str(size[1])], "",
                              timing, stamps)
            try:
                program.show(lambda s: 0, lambda s, _: (s[0] / 2, s[1] / 2))
                report("floor", scale, play(program, "floor", n))
            finally:
                program.stop()
        finally:
            sway.stop()
        print(f"load after scale {scale:g}: {load()}", flush=True)


if __name__ == "__main__":
    main()
