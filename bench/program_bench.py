#!/usr/bin/env python3
"""Whole-program figures of zan: idle CPU, peak memory, start-up and skip-mode speed.

Builds two small games, runs `zan` on them windowed (under Xvfb, when it is installed) and
headless, and prints one table:

  - CPU while idle on a static 800 x 600 page with one line of text waiting for a click
    (user + sys of the zan process over 20 s, as a share of one core), and its wake-ups a
    second (voluntary context switches of all its threads);
  - peak resident memory on that page, windowed and headless;
  - launch to window shown, and launch to the first frame presented;
  - 2000 short pages in skip mode (key S): windowed from the key to the last page, and
    headless from launch to exit.

Usage: program_bench.py [--quick] [--build DIR] [--pages N] [--idle SECONDS] [--keep DIR]

--quick runs every measurement very briefly (a few pages, a second of idle): it only checks
that the script still works, and its figures mean little. Python 3 standard library only.
"""

import argparse
import ctypes
import ctypes.util
import os
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time

# The frame whose screenshot marks the key press: the S key goes down at this frame and up
# at the next, and skip mode starts when the key comes up. The story runs from frame 23, after
# a new game's 1000 ms fade-in.
KEY_FRAME = 33


def fail(message):
    print(f"program_bench: {message}", file=sys.stderr)
    sys.exit(1)


# --- The games --------------------------------------------------------------------------------

# The key table: one line per key, in this order; S and Ctrl switch skip mode.
KEYS = """入力,動作
0 ホイール上,履歴上へ
1,
2 左ボタン,決定
3 右ボタン,取消
4 Enter,決定
5 Space,決定
6 Ctrl,スキップ
7 Shift,
8 BackSpace,
9 Delete,ウィンドウ消去
10 Insert,
11 Home,
12 End,
13 PageUp,バックログ
14 PageDown,
15 Esc,メニュー
16 F1,
17 F2,
18 F3,
19 F4,
20 F5,
21 F6,
22 F7,
23 F8,
24 F9,
25 F10,
26 F11,
27 F12,
28 S,スキップ
29 L,
30 O,オート
"""

VARIABLES = """種類,名前,初期値,最小,最大
INT,pages,0,0,1000000
"""

# The system buttons' definition file with no picture and no button (without it the game
# stops at a message box), and the tables a game carries, empty.
SYSTEM_BUTTONS = """システムボタン定義
ラベル,ファイル
□画像定義終了
1
2
3
4
5
6
7
8
9
□定義終了
"""
TABLES = {"iconlist.csv": "番号,名前,ファイル\n", "イベントＣＧリスト.csv": "イベントＣＧリスト\nファイル名,メモ\n----\n"}


def write_bmp(path, width, height):
    """A 24-bit picture: a dusk-coloured vertical gradient."""
    row_bytes = (width * 3 + 3) & ~3
    rows = []
    for y in range(height - 1, -1, -1):  # bottom-up
        t = y / max(1, height - 1)
        pixel = bytes((int(120 + 80 * t), int(60 + 40 * t), int(40 + 30 * (1 - t))))  # B, G, R
        rows.append(pixel * width + b"\0" * (row_bytes - width * 3))
    data = b"".join(rows)
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


def write_game_source(folder, script):
    for sub in ("msg", "gra", "dat", "system"):
        os.makedirs(os.path.join(folder, sub), exist_ok=True)
    with open(os.path.join(folder, "msg", "main.txt"), "w", encoding="utf-8") as f:
        f.write(script)
    texts = {os.path.join("dat", "variable.csv"): VARIABLES, os.path.join("system", "system1.lib"): SYSTEM_BUTTONS,
             os.path.join("system", "system2.lib"): KEYS}
    texts.update({os.path.join("dat", name): text for name, text in TABLES.items()})
    for name, text in texts.items():
        with open(os.path.join(folder, name), "w", encoding="utf-8") as f:
            f.write(text)
    write_bmp(os.path.join(folder, "gra", "bg.bmp"), 800, 600)


STATIC_PAGE = """// One page on a picture, waiting for a click.
<ImageLoad 0, bg.bmp, 0, 0>
<WinCurrent 0>
<WinOn>
静かな夜だった。<KW>
"""


def pages_script(count):
    lines = ["// Short pages one after another; at the end the story returns to the title, which",
             "// writes option.dat: that file's arrival marks the last page.",
             "<ImageLoad 0, bg.bmp, 0, 0>", "<WinCurrent 0>", "<WinOn>"]
    lines += [f"ページ{i + 1}。<KW><Inc pages><WinClear>" for i in range(count)]
    lines.append("<TitleReturn>")
    return "\n".join(lines) + "\n"


def pack_game(packer, source, out):
    result = subprocess.run([packer, source, out], capture_output=True, text=True)
    if result.returncode != 0:
        fail(f"packing {source} failed: {result.stderr.strip()}")


# --- Running zan ------------------------------------------------------------------------------

class Run:
    """One zan process with its own runtime folder (for the one-copy lock)."""

    def __init__(self, zan, game, args, env, work):
        self.runtime = tempfile.mkdtemp(prefix="rt-", dir=work)
        run_env = dict(env, XDG_RUNTIME_DIR=self.runtime, SDL_AUDIODRIVER="dummy")
        self.log = open(os.path.join(work, "zan-%d.log" % len(os.listdir(work))), "w")
        self.start = time.monotonic()
        # The measured story starts at once (--start): zan would otherwise open the title.
        self.process = subprocess.Popen([zan, "--start", "main.txt"] + args + [game], env=run_env, stdout=self.log,
                                        stderr=subprocess.STDOUT)
        self.rusage = None
        self.status = None

    def cpu_seconds(self):
        """user + sys of the running process, from /proc."""
        with open(f"/proc/{self.process.pid}/stat") as f:
            fields = f.read().rsplit(")", 1)[1].split()
        return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")

    def wake_ups(self):
        """Voluntary context switches of all the process's threads so far, from /proc (a
        thread that ended takes its count with it)."""
        total = 0
        for task in os.listdir(f"/proc/{self.process.pid}/task"):
            try:
                with open(f"/proc/{self.process.pid}/task/{task}/status") as f:
                    for line in f:
                        if line.startswith("voluntary_ctxt_switches:"):
                            total += int(line.split()[1])
            except FileNotFoundError:
                pass
        return total

    def alive(self):
        return self.process.poll() is None and self.status is None

    def stop(self, timeout=20.0):
        """Asks for an orderly end (SIGTERM), waits, and keeps the resource use."""
        if self.status is None and self.process.poll() is None:
            self.process.send_signal(signal.SIGTERM)
        return self.wait(timeout)

    def wait(self, timeout):
        deadline = time.monotonic() + timeout
        while self.status is None:
            pid, status, rusage = os.wait4(self.process.pid, os.WNOHANG)
            if pid != 0:
                self.status, self.rusage = status, rusage
                self.end = time.monotonic()
                self.process.returncode = os.waitstatus_to_exitcode(status)
                break
            if time.monotonic() > deadline:
                self.process.kill()
                os.wait4(self.process.pid, 0)
                self.log.close()
                fail(f"zan did not end within {timeout:.0f} s (log: {self.log.name})")
            time.sleep(0.001)
        self.log.close()
        if self.process.returncode != 0:
            fail(f"zan ended with status {self.process.returncode} (log: {self.log.name})")
        return self

    def peak_rss_mib(self):
        return self.rusage.ru_maxrss / 1024.0  # ru_maxrss is in KiB


def wait_for(predicate, run, timeout, what):
    """Polls every millisecond; the time the predicate became true (monotonic seconds)."""
    deadline = time.monotonic() + timeout
    while True:
        if predicate():
            return time.monotonic()
        if not run.alive():
            fail(f"zan ended before {what} (log: {run.log.name})")
        if time.monotonic() > deadline:
            run.stop()
            fail(f"no {what} within {timeout:.0f} s")
        time.sleep(0.001)


def fresh_copy(game, work, name, keep_state=None):
    folder = os.path.join(work, name)
    shutil.rmtree(folder, ignore_errors=True)
    shutil.copytree(game, folder)
    if keep_state:
        shutil.copytree(keep_state, os.path.join(folder, "sys"))
    return folder


def read_vars(path):
    values = {}
    if os.path.exists(path):
        with open(path, encoding="utf-8") as f:
            for line in f:
                name, _, value = line.rstrip("\n").partition("=")
                values[name] = value
    return values


# --- Xvfb and the window ------------------------------------------------------------------------

class XWindowAttributes(ctypes.Structure):
    _fields_ = [("x", ctypes.c_int), ("y", ctypes.c_int), ("width", ctypes.c_int), ("height", ctypes.c_int),
                ("border_width", ctypes.c_int), ("depth", ctypes.c_int), ("visual", ctypes.c_void_p),
                ("root", ctypes.c_ulong), ("c_class", ctypes.c_int), ("bit_gravity", ctypes.c_int),
                ("win_gravity", ctypes.c_int), ("backing_store", ctypes.c_int),
                ("backing_planes", ctypes.c_ulong), ("backing_pixel", ctypes.c_ulong),
                ("save_under", ctypes.c_int), ("colormap", ctypes.c_ulong), ("map_installed", ctypes.c_int),
                ("map_state", ctypes.c_int), ("all_event_masks", ctypes.c_long),
                ("your_event_mask", ctypes.c_long), ("do_not_propagate_mask", ctypes.c_long),
                ("override_redirect", ctypes.c_int), ("screen", ctypes.c_void_p)]


class XDisplay:
    """Asks the X server whether a top-level window is shown (libX11 through ctypes)."""
    IS_VIEWABLE = 2

    def __init__(self, name):
        path = ctypes.util.find_library("X11")
        self.lib = ctypes.CDLL(path) if path else None
        self.display = None
        if not self.lib:
            return
        self.lib.XOpenDisplay.restype = ctypes.c_void_p
        self.lib.XOpenDisplay.argtypes = [ctypes.c_char_p]
        self.lib.XDefaultRootWindow.restype = ctypes.c_ulong
        self.lib.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        self.lib.XQueryTree.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong),
                                        ctypes.POINTER(ctypes.c_ulong),
                                        ctypes.POINTER(ctypes.POINTER(ctypes.c_ulong)),
                                        ctypes.POINTER(ctypes.c_uint)]
        self.lib.XGetWindowAttributes.argtypes = [ctypes.c_void_p, ctypes.c_ulong,
                                                  ctypes.POINTER(XWindowAttributes)]
        self.lib.XFree.argtypes = [ctypes.c_void_p]
        self.lib.XCloseDisplay.argtypes = [ctypes.c_void_p]
        self.display = self.lib.XOpenDisplay(name.encode())

    def window_shown(self):
        root, parent = ctypes.c_ulong(), ctypes.c_ulong()
        children = ctypes.POINTER(ctypes.c_ulong)()
        count = ctypes.c_uint()
        if not self.lib.XQueryTree(self.display, self.lib.XDefaultRootWindow(self.display), ctypes.byref(root),
                                   ctypes.byref(parent), ctypes.byref(children), ctypes.byref(count)):
            return False
        shown = False
        for i in range(count.value):
            attributes = XWindowAttributes()
            if (self.lib.XGetWindowAttributes(self.display, children[i], ctypes.byref(attributes)) and
                    attributes.map_state == self.IS_VIEWABLE):
                shown = True
        if children:
            self.lib.XFree(children)
        return shown

    def close(self):
        if self.display:
            self.lib.XCloseDisplay(self.display)


def start_xvfb():
    """An Xvfb server of its own (1024 x 768 x 24, no window manager); (process, name) or None."""
    xvfb = shutil.which("Xvfb")
    if not xvfb:
        return None
    read_end, write_end = os.pipe()
    process = subprocess.Popen([xvfb, "-displayfd", str(write_end), "-screen", "0", "1024x768x24", "-nolisten",
                                "tcp"], pass_fds=(write_end,), stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    os.close(write_end)
    number = b""
    with os.fdopen(read_end, "rb") as pipe:
        number = pipe.readline().strip()
    if not number:
        process.kill()
        process.wait()
        return None
    return process, ":" + number.decode()


# --- The measurements ---------------------------------------------------------------------------

def static_page(zan, game, env, work, windowed, idle_seconds, settle_seconds, display=None):
    """Launch to window and to first frame, idle CPU and peak memory on the static page."""
    figures = {}
    folder = fresh_copy(game, work, "static-" + ("windowed" if windowed else "headless"))
    first = os.path.join(work, "first-%s.png" % ("windowed" if windowed else "headless"))
    if windowed:
        args = ["--screenshot", "0:" + first]
    else:
        args = ["--headless", "--frames", str(max(30, int(30 * idle_seconds)))]
    run = Run(zan, folder, args, env, work)
    if windowed:
        if display and display.display:
            figures["window"] = wait_for(display.window_shown, run, 30, "window") - run.start
        figures["first_frame"] = wait_for(lambda: os.path.exists(first), run, 30, "first frame") - run.start
        time.sleep(settle_seconds)
        cpu0, wake0, t0 = run.cpu_seconds(), run.wake_ups(), time.monotonic()
        time.sleep(idle_seconds)
        cpu1, wake1, t1 = run.cpu_seconds(), run.wake_ups(), time.monotonic()
        figures["idle_cpu"] = 100.0 * (cpu1 - cpu0) / (t1 - t0)
        figures["idle_wake_ups"] = (wake1 - wake0) / (t1 - t0)
        run.stop()
    else:
        run.wait(120)
    figures["peak_rss"] = run.peak_rss_mib()
    return figures


def read_all_pages(zan, game, env, work, pages):
    """Reads every page once (clicks), so that skip mode runs over read text; the saved
    read flags (sys/kidoku.dat) are kept for the skip runs."""
    folder = fresh_copy(game, work, "reading")
    dump = os.path.join(work, "reading.vars")
    Run(zan, folder, ["--headless", "--click-every", "2", "--frames", str(8 * pages + 200), "--dump-vars", dump],
        env, work).wait(600)
    read = read_vars(dump).get("pages")
    if read != str(pages):
        fail(f"the reading run read {read} pages of {pages}")
    state = os.path.join(work, "read-state")
    shutil.rmtree(state, ignore_errors=True)
    os.makedirs(state)
    shutil.copy(os.path.join(folder, "sys", "kidoku.dat"), state)
    return state


def skip_run(zan, game, env, work, pages, state, windowed):
    """2000 pages in skip mode. Windowed: from the key (the screenshot of the key's frame) to
    the last page; headless: launch to exit. The last page is over when the story's return to
    the title writes option.dat."""
    name = "skip-" + ("windowed" if windowed else "headless")
    folder = fresh_copy(game, work, name, keep_state=state)
    timeline = os.path.join(work, name + ".input")
    with open(timeline, "w") as f:
        f.write(f"{KEY_FRAME} key S\n")
    key = os.path.join(work, name + "-key.png")
    dump = os.path.join(work, name + ".vars")
    args = ["--input", timeline, "--dump-vars", dump]
    if windowed:
        args += ["--screenshot", f"{KEY_FRAME}:{key}"]
    else:
        args = ["--headless"] + args
    options = os.path.join(folder, "sys", "option.dat")
    run = Run(zan, folder, args, env, work)
    start = run.start
    if windowed:
        start = wait_for(lambda: os.path.exists(key), run, 60, "key frame")
    end = wait_for(lambda: os.path.exists(options), run, 60 + pages * 0.1, "last page")
    run.stop()
    skipped = read_vars(dump).get("pages")
    if skipped != str(pages):
        fail(f"{name}: skip mode reached page {skipped} of {pages}")
    return (end - start) if windowed else (run.end - run.start)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    here = os.path.dirname(os.path.abspath(__file__))
    parser.add_argument("--build", default=os.path.join(here, "..", "build"),
                        help="the build folder (zan and tests/data/zan_test_gamepack); default ../build")
    parser.add_argument("--quick", action="store_true", help="every measurement very briefly (a check only)")
    parser.add_argument("--pages", type=int, help="pages of the skip game (default 2000; 20 with --quick)")
    parser.add_argument("--idle", type=float, help="seconds of idle measured (default 20; 1 with --quick)")
    parser.add_argument("--keep", help="work in this folder and keep it (default: a temporary one)")
    options = parser.parse_args()
    pages = options.pages or (20 if options.quick else 2000)
    idle = options.idle or (1.0 if options.quick else 20.0)
    settle = 0.2 if options.quick else 2.0

    zan = os.path.join(options.build, "zan")
    packer = os.path.join(options.build, "tests", "data", "zan_test_gamepack")
    for tool in (zan, packer):
        if not os.access(tool, os.X_OK):
            fail(f"{tool} not found: build first (cmake --build {options.build})")

    work = options.keep or tempfile.mkdtemp(prefix="zan-program-bench-")
    os.makedirs(work, exist_ok=True)
    env = {k: v for k, v in os.environ.items() if k != "DISPLAY"}
    xvfb = None
    try:
        for name, script in (("static", STATIC_PAGE), ("pages", pages_script(pages))):
            write_game_source(os.path.join(work, name + "-src"), script)
            pack_game(packer, os.path.join(work, name + "-src"), os.path.join(work, name))
        static_game, pages_game = os.path.join(work, "static"), os.path.join(work, "pages")

        headless = static_page(zan, static_game, env, work, False, idle, settle)
        state = read_all_pages(zan, pages_game, env, work, pages)
        skip_headless = skip_run(zan, pages_game, env, work, pages, state, False)

        windowed, skip_windowed = None, None
        xvfb = start_xvfb()
        if xvfb:
            display = XDisplay(xvfb[1])
            windowed_env = dict(env, DISPLAY=xvfb[1])
            windowed = static_page(zan, static_game, windowed_env, work, True, idle, settle, display)
            skip_windowed = skip_run(zan, pages_game, windowed_env, work, pages, state, True)
            display.close()
    finally:
        if xvfb:
            xvfb[0].terminate()
            xvfb[0].wait()
        if not options.keep:
            shutil.rmtree(work, ignore_errors=True)

    def seconds(v):
        return "-" if v is None else f"{v:.3f} s"

    def per_page(v):
        return "-" if v is None else f"{v:.3f} s ({1000.0 * v / pages:.2f} ms a page)"

    w = windowed or {}
    print(f"zan whole-program figures{' (--quick: a check, not figures)' if options.quick else ''}")
    print(f"windowed: {'Xvfb 1024x768x24, no window manager' if xvfb else 'not run (Xvfb not installed)'}; "
          f"SDL_AUDIODRIVER=dummy; {os.cpu_count()} cores")
    rows = [
        (f"CPU while idle on the static page (user+sys, {idle:g} s)",
         "-" if "idle_cpu" not in w else f"{w['idle_cpu']:.1f} %", "-"),
        ("wake-ups a second while idle (all threads)",
         "-" if "idle_wake_ups" not in w else f"{w['idle_wake_ups']:.0f}", "-"),
        ("peak resident memory on the static page",
         "-" if "peak_rss" not in w else f"{w['peak_rss']:.0f} MiB", f"{headless['peak_rss']:.0f} MiB"),
        ("launch -> window shown", seconds(w.get("window")), "-"),
        ("launch -> first frame", seconds(w.get("first_frame")), "-"),
        (f"{pages} pages in skip mode, windowed, from the key", per_page(skip_windowed), "-"),
        (f"{pages} pages in skip mode, headless, launch to exit", "-", seconds(skip_headless)),
    ]
    print(f"{'figure':<58} {'windowed':>32} {'headless':>32}")
    for name, a, b in rows:
        print(f"{name:<58} {a:>32} {b:>32}")


if __name__ == "__main__":
    main()
