#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Start-up of the real moorline on Wayland and on X11 under the same conditions: one sway
headless session with XWayland, the same docks.json, the same detector, the two taking turns
run by run so that a change in the machine's load falls on both alike.

Wayland: Qt on the compositor, panels as layer surfaces. X11: Qt on XWayland
(QT_QPA_PLATFORM=xcb), panels as X11 windows. A third run shows Wayland with Qt's EGL start. Each figure is the time from launch to the first
frame in which something of Moorline's is on screen (screenshots of the output with grim,
scaled down, a few milliseconds each, compared to the empty output), and the CPU time the
program (all its threads) had used by then, steadier than the clock on a busy machine.
Medians of RUNS runs. As root, sway runs as the tests' system user.
  RUNS=15 bench/wayland-vs-x11.py [BUILD_DIR]"""
import os
import pwd
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BUILD = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build"))
RUNS = int(os.environ.get("RUNS", "15"))
USER = "moorline-wayland"
TICK = os.sysconf("SC_CLK_TCK")
VARIANTS = {
    "Wayland (layer surfaces)": ("wayland", {}),
    "X11 (XWayland windows)": ("xcb", {}),
    # What Qt's EGL start would cost (Moorline leaves it out where its panels are layer
    # surfaces).
    "Wayland with Qt's EGL buffer integration": (
        "wayland", {"QT_WAYLAND_CLIENT_BUFFER_INTEGRATION": "wayland-egl"}),
}


def wait_until(done, seconds=20.0, step=0.005):
    deadline = time.monotonic() + seconds
    while True:
        value = done()
        if value or time.monotonic() > deadline:
            return value
        time.sleep(step)


def cpu_ms(pid):
    try:
        with open("/proc/%d/stat" % pid) as f:
            fields = f.read().rsplit(")", 1)[1].split()
        return (int(fields[11]) + int(fields[12])) * 1000 / TICK
    except OSError:
        return None


def main():
    work = tempfile.mkdtemp(prefix="moorline-bench-")
    os.chmod(work, 0o755)
    runtime = os.path.join(work, "sway")
    os.makedirs(runtime, mode=0o700)
    config = os.path.join(work, "sway.conf")
    with open(config, "w") as f:
        f.write("xwayland enable\noutput HEADLESS-1 resolution 1280x800 bg #000000 solid_color\n"
                # XWayland runs as sway's user: let ours in, then say where it is.
                "exec sh -c 'xhost +si:localuser:%s; echo $DISPLAY > %s/display'\n"
                % (pwd.getpwuid(os.getuid()).pw_name, work))
    os.chmod(config, 0o644)
    prefix = []
    if os.geteuid() == 0:
        try:
            user = pwd.getpwnam(USER)
        except KeyError:
            subprocess.run(["useradd", "--system", "--no-create-home", "--shell",
                            "/usr/sbin/nologin", USER], check=True)
            user = pwd.getpwnam(USER)
        os.chown(runtime, user.pw_uid, user.pw_gid)
        os.chmod(work, 0o777)
        prefix = ["setpriv", "--reuid=%d" % user.pw_uid, "--regid=%d" % user.pw_gid,
                  "--clear-groups"]
    sway = subprocess.Popen(prefix + ["sway", "-c", config], stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL,
                            env={"PATH": os.environ["PATH"], "XDG_RUNTIME_DIR": runtime,
                                 "HOME": runtime, "WLR_BACKENDS": "headless",
                                 "WLR_HEADLESS_OUTPUTS": "1", "WLR_LIBINPUT_NO_DEVICES": "1",
                                 "WLR_RENDERER": "pixman"})
    bus = None
    try:
        display_file = os.path.join(work, "display")
        if not wait_until(lambda: os.path.exists(display_file) and open(display_file).read().strip()):
            sys.exit("wayland-vs-x11: sway did not start with XWayland")
        home = os.path.join(work, "home")
        env = {"PATH": os.environ["PATH"], "HOME": home, "LANG": "C.UTF-8",
               "XDG_RUNTIME_DIR": os.path.join(work, "runtime"),
               "XDG_DATA_HOME": os.path.join(home, "data"),
               "XDG_CONFIG_HOME": os.path.join(home, "config"),
               "WAYLAND_DISPLAY": os.path.join(runtime, "wayland-1"),
               "DISPLAY": open(display_file).read().strip(), "QT_LOGGING_RULES": "qt.*=false"}
        os.makedirs(env["XDG_RUNTIME_DIR"], mode=0o700)
        bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address"],
                               stdout=subprocess.PIPE, text=True, env=env)
        env["DBUS_SESSION_BUS_ADDRESS"] = bus.stdout.readline().strip()

        def shot():
            return subprocess.run(["grim", "-s", "0.1", "-t", "ppm", "-"], env=env,
                                  capture_output=True).stdout
        empty = shot()

        def measure(variant):
            platform, extra = VARIANTS[variant]
            run_env = dict(env, QT_QPA_PLATFORM=platform, **extra)
            start = time.monotonic()
            app = subprocess.Popen([os.path.join(BUILD, "moorline")], env=run_env,
                                   stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL)
            seen = wait_until(lambda: shot() != empty, 20, 0)
            elapsed = (time.monotonic() - start) * 1000 if seen else None
            cpu = cpu_ms(app.pid)
            app.terminate()
            app.wait(10)
            wait_until(lambda: shot() == empty, 10)
            return elapsed, cpu

        measure("Wayland (layer surfaces)")  # writes the starter docks; every run below reads them
        results = {variant: [] for variant in VARIANTS}
        for _ in range(RUNS):
            for variant in VARIANTS:
                results[variant].append(measure(variant))
        for label in VARIANTS:
            times = [t for t, _ in results[label] if t is not None]
            cpus = [c for _, c in results[label] if c is not None]
            print("%s: runs %d; first panel on screen %s ms; CPU used by then %s ms (medians)"
                  % (label, len(times), round(statistics.median(times)) if times else "n/a",
                     round(statistics.median(cpus)) if cpus else "n/a"))
    finally:
        if bus:
            bus.terminate()
        sway.terminate()
        sway.wait(10)
        if os.environ.get("KEEP"):
            print("kept:", work)
        else:
            shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
