#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Moorline on real Wayland compositors: sway headless (layer-shell panels, the wlroots
toplevel list, the toggle command), KWin virtual (its window list, granted through our
desktop entry) and weston headless (a compositor without the dock protocols, where Moorline
must say what it cannot do).

Usage: session_test.py BUILD_DIR. Sway refuses to run as root: as root, it runs as the system
user moorline-wayland, made here when missing. Clients connect by absolute socket paths."""
import json
import os
import pwd
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

BUILD = os.path.abspath(sys.argv[1])
MOORLINE = os.path.join(BUILD, "moorline")
POINTER = os.path.join(BUILD, "moorline-wl-pointer")
SOURCE = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
ATSPI = os.path.join(SOURCE, "tests", "integration", "support", "atspi-tree.py")
PORTAL = os.path.join(SOURCE, "tests", "integration", "support", "shortcut-portal.py")
USER = "moorline-wayland"
WIDTH, HEIGHT = 1280, 800
results = {"passed": 0, "failed": 0}


def check(name, ok, detail=""):
    results["passed" if ok else "failed"] += 1
    print(("ok   " if ok else "FAIL ") + name + ("" if ok else ": " + str(detail)), flush=True)
    return ok


def wait_until(done, seconds=15.0):
    deadline = time.monotonic() + seconds
    while True:
        value = done()
        if value or time.monotonic() > deadline:
            return value
        time.sleep(0.05)


def write_file(path, text, mode=0o644):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w") as f:
        f.write(text)
    os.chmod(path, mode)
    return path


def desktop_entry(folder, desktop_id, name, command):
    return write_file(os.path.join(folder, "applications", desktop_id + ".desktop"),
                      "[Desktop Entry]\nType=Application\nName=%s\nExec=%s\n" % (name, command))


def sway_user():
    if os.geteuid() != 0:
        return None
    try:
        pwd.getpwnam(USER)
    except KeyError:
        subprocess.run(["useradd", "--system", "--no-create-home", "--shell",
                        "/usr/sbin/nologin", USER], check=True)
    return pwd.getpwnam(USER)


class Session:
    """A private home, data folders, runtime folder and session bus for Moorline's side."""

    def __init__(self, root, wayland_display):
        self.root = root
        home = os.path.join(root, "home")
        share = os.path.join(root, "share")
        os.makedirs(os.path.join(root, "runtime"), mode=0o700)
        # The two native programs the tests start, known by their app ids.
        for app_id, name in (("moorline-test-a", "Test A"), ("moorline-test-b", "Test B")):
            desktop_entry(share, app_id, name, "foot --app-id " + app_id)
        # A shortcut portal that never answers, started by the bus on the first call to it.
        portal = "org.freedesktop.portal.Desktop"
        write_file(os.path.join(share, "dbus-1", "services", portal + ".service"),
                   "[D-BUS Service]\nName=%s\nExec=/usr/bin/python3 %s silent %s\n"
                   % (portal, PORTAL, os.path.join(root, "portal.log")))
        self.env = {
            "PATH": os.environ.get("PATH", "/usr/bin:/bin"),
            "HOME": home,
            "XDG_DATA_HOME": os.path.join(home, "data"),
            "XDG_CONFIG_HOME": os.path.join(home, "config"),
            "XDG_CACHE_HOME": os.path.join(home, "cache"),
            "XDG_DATA_DIRS": os.path.join(root, "share"),
            "XDG_CONFIG_DIRS": os.path.join(root, "etc"),
            "XDG_RUNTIME_DIR": os.path.join(root, "runtime"),
            "WAYLAND_DISPLAY": wayland_display,
            "QT_LOGGING_RULES": "qt.*=false",
            "LANG": "C.UTF-8",
        }
        self.processes = []

    def start(self, argv, **kwargs):
        process = subprocess.Popen(argv, **dict({"env": self.env}, **kwargs))
        self.processes.append(process)
        return process

    def moorline(self, extra_env=None):
        """The real program under its own session bus; its log goes to a file we read."""
        self.log = open(os.path.join(self.root, "moorline.log"), "w+")
        bus = [] if "DBUS_SESSION_BUS_ADDRESS" in self.env else ["dbus-run-session", "--"]
        return self.start(bus + [MOORLINE], stdout=self.log, stderr=subprocess.STDOUT,
                          env=dict(self.env, **(extra_env or {})))

    def bus(self, name):
        """A session bus of our own, for processes that share it with the test."""
        address = "unix:path=" + os.path.join(self.root, name)
        self.start(["dbus-daemon", "--session", "--nofork", "--address=" + address])
        wait_until(lambda: os.path.exists(address[10:]), 10)
        return address

    def log_text(self):
        self.log.flush()
        with open(self.log.name) as log:
            return log.read()

    def docks(self):
        try:
            with open(os.path.join(self.env["XDG_DATA_HOME"], "Moorline", "docks.json")) as f:
                return json.load(f)
        except (OSError, ValueError):
            return None

    def toggle(self, dock):
        done = subprocess.run([MOORLINE, "--toggle", dock], env=self.env, capture_output=True,
                              text=True, timeout=20)
        return done.returncode, done.stderr

    def close(self):
        for process in reversed(self.processes):
            stop(process)


def stop(process, seconds=10):
    if process.poll() is None:
        process.terminate()
        try:
            process.wait(seconds)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()


def qt_rect(frame):
    """A dock's stored frame (lower-left origin, y up) in output pixels (top-left, y down)."""
    return (round(frame["x"]), round(HEIGHT - frame["y"] - frame["height"]),
            round(frame["width"]), round(frame["height"]))


def pixel_reader(env, root):
    """A function that takes a screenshot and reads pixels of it."""
    def shot():
        path = os.path.join(root, "shot.ppm")
        subprocess.run(["grim", "-t", "ppm", path], env=env, check=True, timeout=20)
        with open(path, "rb") as f:
            data = f.read()
        # grim writes "P6\nWIDTH HEIGHT\n255\n", then the RGB bytes.
        _, size, _, pixels = data.split(b"\n", 3)
        width = int(size.split()[0])
        return lambda x, y: tuple(pixels[3 * (y * width + x):3 * (y * width + x) + 3])
    return shot


def differs(a, b):
    return sum(abs(p - q) for p, q in zip(a, b)) > 24


def sway_tree(env):
    out = subprocess.run(["swaymsg", "-t", "get_tree"], env=env, capture_output=True,
                         text=True, timeout=20).stdout
    return json.loads(out) if out else {}


def windows(tree):
    found = []
    stack = [tree]
    while stack:
        node = stack.pop()
        if node.get("app_id") or node.get("window"):
            found.append(node)
        stack.extend(node.get("nodes", []) + node.get("floating_nodes", []))
    return found


def focused_app(env):
    return next((w.get("app_id") for w in windows(sway_tree(env)) if w.get("focused")), None)


def test_sway(root):
    user = sway_user()
    runtime = os.path.join(root, "sway-runtime")
    os.makedirs(runtime, mode=0o700)
    config = write_file(
        os.path.join(root, "sway.conf"),
        "xwayland enable\n"
        "output HEADLESS-1 resolution %dx%d position 0 0 bg #204060 solid_color\n"
        "default_border none\n"
        # XWayland runs as sway's user: let ours in, then say where it is.
        "exec sh -c 'xhost +si:localuser:%s; echo $DISPLAY > %s/display'\n"
        % (WIDTH, HEIGHT, pwd.getpwuid(os.getuid()).pw_name, runtime))
    os.chmod(root, 0o755)
    if user:
        os.chown(runtime, user.pw_uid, user.pw_gid)
    sway_env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "XDG_RUNTIME_DIR": runtime,
                "WLR_BACKENDS": "headless", "WLR_HEADLESS_OUTPUTS": "1",
                "WLR_LIBINPUT_NO_DEVICES": "1", "WLR_RENDERER": "pixman", "HOME": runtime}
    prefix = ["setpriv", "--reuid=%d" % user.pw_uid, "--regid=%d" % user.pw_gid,
              "--clear-groups"] if user else []
    sway_log = open(os.path.join(root, "sway.log"), "w")
    sway = subprocess.Popen(prefix + ["sway", "-c", config], env=sway_env, stdout=sway_log,
                            stderr=subprocess.STDOUT)
    session = None
    try:
        def sockets():
            names = os.listdir(runtime)
            ipc = [n for n in names if n.startswith("sway-ipc.")]
            return ("wayland-1" in names and ipc) and ipc[0]
        ipc = wait_until(sockets, 30)
        if not check("sway starts headless", ipc, "no sockets in " + runtime):
            return
        session = Session(os.path.join(root, "client"), os.path.join(runtime, "wayland-1"))
        env = session.env
        env["SWAYSOCK"] = os.path.join(runtime, ipc)
        shot = pixel_reader(env, session.root)
        # A keyboard for the whole session, as a user has: the seat has none of its own, and
        # each wtype's keyboard leaves with it.
        session.start(["wtype", "-s", "3600000"])

        # A native window under everything: it fills the output while it is alone.
        session.start(["foot", "--app-id", "moorline-test-a"], stdout=subprocess.DEVNULL,
                      stderr=subprocess.DEVNULL)
        wait_until(lambda: focused_app(env) == "moorline-test-a")
        app = session.moorline()
        docks = wait_until(lambda: session.docks(), 30)
        check("the log names the backends the session offers",
              wait_until(lambda: "panels: layer-shell surfaces; running programs: wlr foreign "
                         "toplevels" in session.log_text(), 15), session.log_text())
        if not check("the starter docks are written", docks, "no docks.json"):
            return
        frames = {d["name"]: qt_rect(d["position"]) for d in docks}

        # Pixels: each dock stands at its frame, over the terminal.
        x, y, w, h = frames["Dock"]
        mid = y + h // 2
        def dock_drawn():
            pixel = shot()
            return (differs(pixel(x + 4, mid), pixel(x - 4, mid)) and
                    differs(pixel(x + w - 4, mid), pixel(x + w + 4, mid)))
        check("a dock stands at its frame above a window", wait_until(dock_drawn, 15))
        panels = ("Dock", "Application Dock", "Clippings")
        check("docks are no windows of the tiling",
              not any(w.get("name", "").startswith(panels) for w in windows(sway_tree(env))),
              [w.get("name") for w in windows(sway_tree(env))])

        # The toggle command hides and shows a dock.
        cx, cy, cw, ch = frames["Clippings"]
        inside = (cx + cw // 2, cy + ch // 2)
        shown = shot()(*inside)
        status, said = session.toggle("Clippings")
        check("--toggle answers at once", status == 0, said)
        check("--toggle hides the dock",
              wait_until(lambda: differs(shot()(*inside), shown), 10))
        session.toggle("clippings")
        check("--toggle shows it again", wait_until(lambda: not differs(shot()(*inside), shown), 10))
        # Shown so, the dock holds the keyboard until Escape.
        keys(env, "Escape")
        status, said = session.toggle("No such dock")
        check("--toggle of an unknown dock fails with a message",
              status == 1 and "No such dock" in said, (status, said))

        # Native programs in the application dock, brought forward by their tiles.
        session.start(["foot", "--app-id", "moorline-test-b"], stdout=subprocess.DEVNULL,
                      stderr=subprocess.DEVNULL)
        wait_until(lambda: focused_app(env) == "moorline-test-b")
        pointer = session.start([POINTER, str(WIDTH), str(HEIGHT)], stdin=subprocess.PIPE,
                                stdout=subprocess.PIPE, text=True)
        check("the test pointer is ready", pointer.stdout.readline().strip() == "ready")
        ax, ay, aw, ah = frames["Application Dock"]

        click = lambda px, py: pointer_line(pointer, "click %d %d" % (px, py))

        # Tiles in name order ("Test A", "Test B"), from the dock's left inset, one icon wide.
        icon = next(d for d in docks if d["name"] == "Application Dock")["appearance"]["iconSize"]
        # The row stands in the middle of the body, under a header of about 28 px.
        first = (ax + 10 + 4 + round(icon) // 2, ay + (ah + 28) // 2)
        second = (first[0] + round(icon) + 8 + 10, first[1])
        listed = wait_until(lambda: differs(shot()(*second), shot()(ax + aw - 20, second[1])), 15)
        check("native programs appear in the application dock", listed)
        click(*first)
        check("a tile brings its program to the front",
              wait_until(lambda: focused_app(env) == "moorline-test-a", 10), focused_app(env))
        click(*second)
        check("the other tile brings the other program forward",
              wait_until(lambda: focused_app(env) == "moorline-test-b", 10), focused_app(env))

        # A tile's menu is a popup of its dock, not a window of the tiling, and a click
        # elsewhere closes it. The second tile of the first row, under the header and the tabs.
        dx, dy, dw, dh = frames["Dock"]
        tile = (dx + 105, dy + 85)
        menu_at = (tile[0] + 40, tile[1] + 10)  # between two tiles, where nothing else changes
        before = shot()(*menu_at)
        pointer_line(pointer, "rclick %d %d" % tile)
        check("a tile's menu opens at the pointer",
              wait_until(lambda: differs(shot()(*menu_at), before), 10))
        check("the menu is no window of the tiling",
              not any(w.get("app_id") == "io.github.moorline.Moorline" and
                      "Settings" not in w.get("name", "") for w in windows(sway_tree(env))))
        click(cx + cw // 2, cy + ch - 20)

        # Dragged by its header where no window manager moves it, a dock writes its new frame.
        for line in ("move %d %d" % (cx + 20, cy + 8), "press", "move %d %d" % (cx - 30, cy + 28),
                     "move %d %d" % (cx - 80, cy + 58), "release"):
            pointer_line(pointer, line)
        moved = lambda: next((qt_rect(d["position"]) for d in session.docks() or []
                              if d["name"] == "Clippings"), None)
        check("a dock dragged by its header writes its frame back",
              wait_until(lambda: moved() == (cx - 100, cy + 50, cw, ch), 10), moved())
        check("Moorline is still running", app.poll() is None, session.log_text())
        app = test_portal_hot_keys(session, app)
        app = test_launch_token(session, pointer, app)
        app = test_keyboard(session, app)
        app = test_edge_auto_hide(session, pointer, shot, app)
        display = open(os.path.join(runtime, "display")).read().strip()
        test_xwayland_auto_hide(session, pointer, app, display)
    finally:
        if session:
            session.close()
        stop(sway)


def descendants(pid):
    found = []
    try:
        with open("/proc/%d/task/%d/children" % (pid, pid)) as f:
            children = [int(c) for c in f.read().split()]
    except OSError:
        return found
    for child in children:
        found += [child] + descendants(child)
    return found


def pointer_line(pointer, line):
    pointer.stdin.write(line + "\n")
    pointer.stdin.flush()
    return pointer.stdout.readline().strip() == "ok"


def restart_with(session, app, edit, extra_env=None):
    """Stops Moorline, edits the dock named "Dock" in its file, and starts it again."""
    # Moorline itself, under its bus: the bus's own ending would leave it running.
    for child in descendants(app.pid):
        if os.path.basename(os.readlink("/proc/%d/exe" % child)) == "moorline":
            os.kill(child, signal.SIGTERM)
    app.wait(10)
    docks = session.docks()
    edit(next(d for d in docks if d["name"] == "Dock"))
    write_file(os.path.join(session.env["XDG_DATA_HOME"], "Moorline", "docks.json"),
               json.dumps(docks), 0o600)
    return session.moorline(extra_env)


def test_portal_hot_keys(session, app):
    """A dock's hot key goes to the shortcut portal, asked in the background: the one here never
    answers, and the tests after this one run with it."""
    def keyed(dock):
        dock["hotKey"] = {"keyCode": 2, "modifiers": 6144}  # Ctrl+Alt+D
    app = restart_with(session, app, keyed)
    asked = os.path.join(session.root, "portal.log")
    check("a dock's hot key asks the portal",
          wait_until(lambda: os.path.exists(asked) and "get version" in open(asked).read(), 15))
    check("the log names the portal for hot keys", "hot keys: the GlobalShortcuts portal if the "
          "session bus offers it" in session.log_text(), session.log_text())
    return app


def test_launch_token(session, pointer, app):
    """A program started from a dock gets an activation token from the compositor."""
    out = os.path.join(session.root, "token")
    probe = write_file(os.path.join(session.root, "probe.sh"),
                       '#!/bin/sh\nprintf "%%s" "$XDG_ACTIVATION_TOKEN" > %s.part\nmv %s.part %s\n'
                       % (out, out, out), 0o755)
    entry = desktop_entry(session.env["XDG_DATA_DIRS"], "moorline-probe", "Probe", probe)
    def one_item(dock):
        tab = dock["tabs"][dock.get("selectedTabIndex", 0)]
        first = tab["items"][0] if tab["items"] else {"createdAt": 0}
        tab["items"] = [{"id": "6E1C7C1A-3C1D-4B8E-9E55-2B8F0C7F6A01", "kind": "application",
                         "name": "Probe", "path": entry, "createdAt": first["createdAt"]}]
    app = restart_with(session, app, one_item)
    x, y, w, h = qt_rect(next(d for d in session.docks() if d["name"] == "Dock")["position"])
    # The one tile, under the dock's title and tab strip.
    tile = (x + 56, y + 87)
    wait_until(lambda: "moorline.session" in session.log_text(), 15)
    token = None
    for attempt in range(3):  # a click before the panel is up hits nothing
        pointer_line(pointer, "click %d %d" % tile)
        token = wait_until(lambda: os.path.exists(out) and open(out).read(), 5)
        if token:
            break
    check("a program started from a dock gets an activation token", token, session.log_text())
    return app


def test_edge_auto_hide(session, pointer, shot, app):
    """A dock set to hide toward the left edge, with no global pointer to go by."""
    docks = session.docks()
    x, y, w, h = qt_rect(next(d for d in docks if d["name"] == "Dock")["position"])
    inside, mid = (x + 4, y + h // 2), y + h // 2
    shown = shot()(*inside)
    move = lambda px, py: pointer_line(pointer, "move %d %d" % (px, py))
    # Away from the dock while Moorline starts again with it hiding.
    move(WIDTH - 40, 40)
    def hiding(dock):
        dock["autoHide"], dock["screenEdgeForAutoHide"] = True, "left"
    app = restart_with(session, app, hiding)
    check("the log names edge strips for auto-hide",
          wait_until(lambda: "auto-hide: edge strips" in session.log_text(), 15),
          session.log_text())
    hidden = lambda: differs(shot()(*inside), shown)
    check("an auto-hiding dock goes when the pointer is not on it", wait_until(hidden, 15))
    move(0, mid)
    check("the screen edge brings it back", wait_until(lambda: not hidden(), 5))
    move(x + w // 2, mid)
    time.sleep(2.5)  # longer than a dock waits for a pointer that never comes onto it
    check("a dock with the pointer on it stays", not hidden())
    move(WIDTH - 40, 40)
    check("leaving the dock hides it", wait_until(hidden, 5))
    check("Moorline is still running after auto-hide", app.poll() is None, session.log_text())
    return app


def test_keyboard(session, app):
    """The toggle command brings the keyboard with a layer-shell dock; Escape gives it back."""
    env = session.env
    opened = lambda name: os.path.join(session.root, "opened-" + name)
    items = []
    for n, name in enumerate(("One", "Two")):
        entry = desktop_entry(env["XDG_DATA_DIRS"], "moorline-" + name, name,
                              "touch " + opened(name))
        items.append({"id": "6E1C7C1A-3C1D-4B8E-9E55-2B8F0C7F6A1%d" % n, "kind": "application",
                      "name": name, "path": entry, "createdAt": 0})
    def two_items_hidden(dock):
        dock["tabs"][dock.get("selectedTabIndex", 0)]["items"] = items
        dock["isVisible"], dock["alwaysOnTop"] = False, True
    app = restart_with(session, app, two_items_hidden)
    # Without a tray the settings window shows at start; then the user goes to a terminal.
    wait_until(lambda: focused_app(env) == "io.github.moorline.Moorline", 15)
    subprocess.run(["swaymsg", "[app_id=moorline-test-b] focus"], env=env, capture_output=True)
    before = wait_until(lambda: focused_app(env) == "moorline-test-b" and "moorline-test-b", 5)
    session.toggle("Dock")
    # While a layer surface has the keyboard, sway's tree shows no window focused.
    check("the dock shown by --toggle takes the keyboard",
          wait_until(lambda: focused_app(env) is None, 10), focused_app(env))
    # Home: the first tile (keys may come before the panel is active); Right: the second.
    keys(env, "Home", "Right", "Return")
    check("keys in the dock move between tiles and open them",
          wait_until(lambda: os.path.exists(opened("Two")), 5) and
          not os.path.exists(opened("One")), os.listdir(session.root))
    keys(env, "Escape")
    check("Escape gives the keyboard back to the window that had it",
          wait_until(lambda: focused_app(env) == before, 5), (focused_app(env), before))
    return app


def keys(env, *names):
    subprocess.run(["wtype"] + [a for k in names for a in ("-k", k)], env=env, timeout=10)


def xwininfo(display, *args):
    return subprocess.run(["xwininfo"] + list(args), env={"DISPLAY": display, "LANG": "C.UTF-8"},
                          capture_output=True, text=True, timeout=10).stdout


def x_windows(display):
    """The X windows by name: [(id, width, height, x, y)] of the top-level ones."""
    found = {}
    for m in re.finditer(r'^\s*(0x[0-9a-f]+) "([^"]*)".*?(\d+)x(\d+)\+(-?\d+)\+(-?\d+)',
                         xwininfo(display, "-root", "-children"), re.M):
        found.setdefault(m.group(2), []).append((m.group(1),) + tuple(map(int, m.groups()[2:])))
    return found


def test_xwayland_auto_hide(session, pointer, app, display):
    """The same dock with its panels through XWayland: X11 windows at the edges."""
    move = lambda px, py: pointer_line(pointer, "move %d %d" % (px, py))
    move(WIDTH - 40, 40)
    app = restart_with(session, app, lambda dock: None,
                       {"QT_QPA_PLATFORM": "xcb", "DISPLAY": display})
    check("the log names X11 edge strips for XWayland panels",
          wait_until(lambda: "panels: X11 windows through XWayland" in session.log_text() and
                     "auto-hide: X11 edge strips" in session.log_text(), 15), session.log_text())
    name = "Dock \u2014 Moorline"  # Qt adds the program's name to the title
    panel = (wait_until(lambda: x_windows(display).get(name), 15) or [[None]])[0][0]
    strip = lambda: (x_windows(display).get("Moorline edge strip") or [None])[0]
    mapped = lambda: "IsViewable" in xwininfo(display, "-id", panel)
    hidden = panel and wait_until(lambda: not mapped(), 15)
    first = wait_until(strip, 5)
    check("an auto-hiding XWayland dock goes, and a strip stands along the left edge",
          hidden and first and first[1:] == (2, HEIGHT, 0, 0), (x_windows(display), first))
    move(0, HEIGHT // 2)
    check("the edge strip brings the XWayland dock back",
          panel and wait_until(mapped, 5))
    # Wherever sway put the panel, the pointer goes onto it, then away.
    _, w, h, x, y = next(p for p in x_windows(display).get(name, []) if p[0] == panel)
    move(x + w // 2, y + h // 2)
    time.sleep(2.5)  # longer than a dock waits for a pointer that never comes onto it
    check("an XWayland dock with the pointer on it stays", mapped())
    move(WIDTH - 40, 40)
    check("leaving the XWayland dock hides it", wait_until(lambda: not mapped(), 5))
    # A new screen size re-places the hidden dock's strip: the same window, moved.
    before = wait_until(strip, 5)
    subprocess.run(["swaymsg", "output HEADLESS-1 resolution %dx%d" % (WIDTH, HEIGHT - 100)],
                   env=session.env, capture_output=True, timeout=10)
    check("the strip of a hidden dock is moved, not made anew",
          before and wait_until(lambda: strip() == (before[0], 2, HEIGHT - 100, 0, 0), 10),
          (before, strip(), session.log_text()))


def test_weston(root):
    runtime = os.path.join(root, "weston-runtime")
    os.makedirs(runtime, mode=0o700)
    weston_log = open(os.path.join(root, "weston.log"), "w")
    weston = subprocess.Popen(["weston", "--backend=headless-backend.so", "--socket=wayland-1",
                               "--width=%d" % WIDTH, "--height=%d" % HEIGHT, "--idle-time=0"],
                              env={"PATH": os.environ.get("PATH", "/usr/bin:/bin"),
                                   "XDG_RUNTIME_DIR": runtime, "HOME": runtime},
                              stdout=weston_log, stderr=subprocess.STDOUT)
    session = None
    try:
        if not check("weston starts headless",
                     wait_until(lambda: "wayland-1" in os.listdir(runtime), 30)):
            return
        session = Session(os.path.join(root, "weston-client"), os.path.join(runtime, "wayland-1"))
        app = session.moorline()
        said = lambda: session.log_text()
        check("without the dock protocols the log says what cannot be done",
              wait_until(lambda: "no layer shell" in said() and "running programs: none" in said(),
                         20), said())
        check("Moorline runs on there all the same", wait_until(session.docks, 20) and
              app.poll() is None, said())
    finally:
        if session:
            session.close()
        stop(weston)


def test_kwin(root):
    """KWin lists its windows only to a program whose desktop entry asks for the list."""
    os.makedirs(os.path.join(root, "kwin-runtime"), mode=0o700)
    # Our desktop entry, naming the program that runs by its absolute path, as installed.
    with open(os.path.join(SOURCE, "data", "io.github.moorline.Moorline.desktop")) as f:
        write_file(os.path.join(root, "share", "applications", "moorline.desktop"),
                   f.read().replace("\nExec=moorline\n", "\nExec=%s\n" % MOORLINE))
    # kwin_wayland carries a file capability that a container without it cannot grant at
    # exec; a plain copy runs the same.
    kwin = os.path.join(root, "kwin_wayland")
    shutil.copy(shutil.which("kwin_wayland"), kwin)
    host = Session(os.path.join(root, "host"), "")
    host.env.update({"XDG_RUNTIME_DIR": os.path.join(root, "kwin-runtime"),
                     "XDG_DATA_DIRS": os.path.join(root, "share") + ":/usr/share",
                     # Where the menu KWin reads the desktop entries through lives.
                     "XDG_CONFIG_DIRS": "/etc/xdg",
                     "QT_LOGGING_RULES": "kwin_scripting=true"})
    host.env["DBUS_SESSION_BUS_ADDRESS"] = host.bus("bus")
    kwin_log = open(os.path.join(root, "kwin.log"), "w+")
    host.start([kwin, "--virtual", "--no-lockscreen", "--no-global-shortcuts",
                "--no-kactivities", "--socket", "wayland-1", "--width", str(WIDTH),
                "--height", str(HEIGHT)], stdout=kwin_log, stderr=subprocess.STDOUT)
    session = None
    try:
        socket = os.path.join(root, "kwin-runtime", "wayland-1")
        if not check("kwin starts virtual", wait_until(lambda: os.path.exists(socket), 30)):
            return
        # KWin says which window is active, through a script of its own.
        script = write_file(os.path.join(root, "active.js"),
                            'workspace.clientActivated.connect(function(w) {'
                            ' print("ACTIVE " + (w ? w.resourceClass : "none")); });\n')
        kwin_call = lambda *call: subprocess.run(
            ["dbus-send", "--session", "--print-reply", "--dest=org.kde.KWin", "/Scripting"] +
            list(call), env=host.env, capture_output=True, timeout=20).returncode == 0
        # KWin takes its name on the bus a little after its socket appears.
        check("kwin runs a script of ours",
              wait_until(lambda: kwin_call("org.kde.kwin.Scripting.loadScript",
                                           "string:" + script, "string:active"), 20) and
              kwin_call("org.kde.kwin.Scripting.start"))
        def active():
            said = open(kwin_log.name).read()
            return said.rsplit("ACTIVE ", 1)[1].split()[0] if "ACTIVE " in said else None
        session = Session(os.path.join(root, "client"), socket)
        env = session.env
        # Weston's clients: foot stops on a division by zero on KWin's virtual output.
        terminal = "org.freedesktop.weston.wayland-terminal"
        desktop_entry(env["XDG_DATA_DIRS"], terminal, "Wayland Terminal", "weston-terminal")
        # A screen reader's view of the docks, on the bus Moorline uses.
        env["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"
        # The accessibility bus's launcher needs the system's settings schemas.
        env["GSETTINGS_SCHEMA_DIR"] = "/usr/share/glib-2.0/schemas"
        env["DBUS_SESSION_BUS_ADDRESS"] = session.bus("bus")
        subprocess.run(["dbus-update-activation-environment", "WAYLAND_DISPLAY",
                        "XDG_RUNTIME_DIR"], env=env, timeout=20)
        subprocess.run(["dbus-send", "--session", "--print-reply", "--dest=org.freedesktop.DBus",
                        "/org/freedesktop/DBus", "org.freedesktop.DBus.StartServiceByName",
                        "string:org.a11y.Bus", "uint32:0"], env=env, capture_output=True,
                       timeout=20)
        session.start(["weston-terminal"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        app = session.moorline()
        check("the log names KWin's window list",
              wait_until(lambda: "running programs: Plasma window management" in
                         session.log_text(), 20), session.log_text())
        flower = "org.freedesktop.weston.flower"  # no desktop entry: named by its app id
        session.start(["weston-flower"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        atspi = lambda *args: subprocess.run(["/usr/bin/python3", ATSPI] + list(args), env=env,
                                             capture_output=True, text=True, timeout=20)
        def tiles():
            rows = [line.split("\t") for line in atspi("tree", "moorline").stdout.splitlines()]
            return {r[2]: r[3] for r in rows if len(r) > 3 and r[3].endswith(" application")}
        listed = wait_until(lambda: sorted(tiles()) == ["Wayland Terminal", flower], 20)
        check("native programs appear in the application dock", listed,
              (tiles(), atspi("tree", "moorline").stderr[-300:]))
        atspi("press", "moorline", "Wayland Terminal", "Press")
        check("a tile brings its program to the front",
              wait_until(lambda: active() == terminal, 10), active())
        check("the dock shows which one is in front",
              wait_until(lambda: tiles().get("Wayland Terminal") == "Active application", 10),
              tiles())
        check("Moorline is still running under KWin", app.poll() is None, session.log_text())
    finally:
        if session:
            session.close()
        host.close()


def main():
    root = tempfile.mkdtemp(prefix="moorline-wayland-")
    # The compositor's user reaches its runtime folder through here.
    os.chmod(root, 0o755)
    try:
        os.makedirs(os.path.join(root, "sway"))
        test_sway(os.path.join(root, "sway"))
        test_kwin(os.path.join(root, "kwin"))
        test_weston(root)
    finally:
        if results["failed"] == 0:
            shutil.rmtree(root, ignore_errors=True)
        else:
            print("kept for a look:", root)
    print("%d passed, %d failed" % (results["passed"], results["failed"]))
    return 1 if results["failed"] else 0


if __name__ == "__main__":
    sys.exit(main())
