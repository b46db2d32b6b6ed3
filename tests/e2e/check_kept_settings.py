"""Both programs keep the speeds and the port between runs, and a damaged settings file gives
the defaults.

Run inside a11y_session.sh (private home and configuration folder, Xvfb, D-Bus) with Debian's
/usr/bin/python3:
    check_kept_settings.py EARKEY KEYVIEW DATA_DIR

Each program is started, its character speed set to 15 and its port to 4 from the keyboard,
and closed with Escape; started again (from another folder, with --data) it must show 15 and
4. A damaged file then gives 12, 12 and 1, as does --reset-settings. The keyer's mode and a
keyboard-type adapter's keys given on the first run's command line (--keyer iambic-b
--input-keys [,]) are in the file after it, and still after the next run without them.
A FIFO or a file of
megabytes in the settings file's place gives the defaults too, and Escape still ends the
program. Two copies of a program running at once keep what each changed. Settings that cannot
be kept are told once, in a message box, while the window is open.
"""

import os
import signal
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import orcalib  # noqa: E402
import pyatspi  # noqa: E402

failures = []


def wait_for_session():
    """The accessibility bus up before the first program starts: one started before the bus
    keeps its bridge off. (The session's X server answers before this script starts.)"""
    pyatspi.Registry.getDesktop(0)


def start(program, data, *extra, config=None, stderr=None):
    env = dict(os.environ, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    if config:
        env["XDG_CONFIG_HOME"] = config
    proc = subprocess.Popen([program, "--no-sound", "--data", data] + list(extra), cwd="/",
                            env=env, stdin=subprocess.DEVNULL, stderr=stderr)
    return proc, orcalib.find_application(pid=proc.pid, timeout=20)


def activate(app):
    """Gives the program's main window the keyboard focus (there is no window manager)."""
    for node in orcalib.nodes(app):
        try:
            if node.getRole() == pyatspi.ROLE_PUSH_BUTTON:
                node.queryComponent().grabFocus()
                time.sleep(0.5)
                return
        except Exception:
            continue


def values(app):
    """The character speed, word speed and port the main window shows."""
    lists, port = [], None
    stack = [app]
    while stack:
        node = stack.pop()
        try:
            role = node.getRoleName()
            if role == "combo box":
                lists.append((node.queryComponent().getExtents(0).y, node.name))
            elif role == "text" and node.name.startswith("Comm"):
                port = orcalib.describe(node)[2]
            stack.extend(node.getChildAtIndex(i) for i in range(node.childCount))
        except Exception:
            continue
    lists.sort()
    return [name for _, name in lists] + [port]


def wait_values(app, expected, what):
    deadline = time.monotonic() + 10
    while True:
        seen = values(app)
        if seen == expected:
            print("ok   %-45s %r" % (what, seen))
            return
        if time.monotonic() > deadline:
            failures.append("%s: expected %r, shown %r" % (what, expected, seen))
            print("FAIL %-45s %r" % (what, seen))
            return
        time.sleep(0.1)


def close(proc, what):
    orcalib.OrcaSession.key("Escape")
    try:
        proc.wait(10)
    except subprocess.TimeoutExpired:
        proc.kill()
        proc.wait()
        failures.append("%s: Escape did not end the program" % what)


def choose(keys_list):
    for keys in keys_list:
        time.sleep(0.3)
        orcalib.OrcaSession.key(*keys)


def hostile_files(program, data, conf):
    """A FIFO and a file of megabytes where the settings file should be."""
    name = os.path.basename(program)
    os.remove(conf)
    os.mkfifo(conf)
    proc, app = start(program, data)
    wait_values(app, ["12", "12", "1"], name + " settings file a FIFO")
    activate(app)
    close(proc, name + " with a FIFO for its settings")
    print("ok   %-45s status %s" % (name + " ends with a FIFO", proc.returncode))
    if not os.path.exists(conf) or not stat_is_fifo(conf):
        failures.append("%s: the FIFO was replaced" % name)
    os.remove(conf)

    with open(conf, "w") as f:
        f.write("[speeds]\ncharacter=15\n[many]\n")
        f.write("".join("k%07d=1\n" % i for i in range(200000)))  # 2 MB
    proc, app = start(program, data)
    wait_values(app, ["12", "12", "1"], name + " settings file of 2 MB")
    activate(app)
    choose([["alt+c"], ["Down"]])
    close(proc, name + " with 2 MB of settings")
    if os.path.getsize(conf) > 1000:
        failures.append("%s: the 2 MB file was not replaced by the settings" % name)
    shown_next_run(program, data, ["15", "12", "1"], name + " after the 2 MB file")


def stat_is_fifo(path):
    import stat
    return stat.S_ISFIFO(os.stat(path).st_mode)


def focus_window(proc, app):
    """Gives the keyboard to the main window of `proc` (with no window manager, another
    program's window may have it)."""
    windows = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(proc.pid)],
                             capture_output=True, text=True).stdout.split()
    for window in windows:
        subprocess.run(["xdotool", "windowfocus", "--sync", window], check=False)
    activate(app)


def two_at_once(program, data, conf):
    """Two copies running at once: each keeps what it changed, not what it read at its start."""
    name = os.path.basename(program)
    os.remove(conf)
    first, a = start(program, data)
    second, b = start(program, data)
    wait_values(b, ["12", "12", "1"], name + " second copy")
    focus_window(first, a)
    choose([["alt+c"], ["Down"]])  # 15
    wait_values(a, ["15", "12", "1"], name + " first copy chose")
    focus_window(second, b)
    choose([["alt+p"], ["BackSpace", "4"]])
    wait_values(b, ["12", "12", "4"], name + " second copy chose")
    for proc in (first, second):
        proc.send_signal(signal.SIGTERM)
        proc.wait(10)
    shown_next_run(program, data, ["15", "12", "4"], name + " after two copies")


def cannot_keep(program, data):
    """Settings that cannot be kept (a file where their folder should be): told once, in a
    message box while the window is open, and the program goes on and ends normally."""
    name = os.path.basename(program)
    config = os.path.join(os.environ.get("A11Y_SESSION_DIR", "/tmp"), name + "-unkept")
    os.makedirs(config, exist_ok=True)
    with open(os.path.join(config, "keytut"), "w") as f:
        f.write("a file, not a folder\n")
    proc, app = start(program, data, config=config, stderr=subprocess.DEVNULL)
    activate(app)
    choose([["alt+c"], ["Down"]])
    told = orcalib.wait_alert(app, 5)
    if not told or "cannot be kept" not in told:
        failures.append("%s: no message that the settings cannot be kept (%r)" % (name, told))
    else:
        print("ok   %-45s %r" % (name + " told once", told))
    orcalib.OrcaSession.key("Return")
    time.sleep(0.5)
    activate(app)
    choose([["alt+c"], ["Down"], ["alt+p"], ["BackSpace", "3"]])
    again = orcalib.wait_alert(app, 2)
    if again:
        failures.append("%s: told a second time: %r" % (name, again))
        orcalib.OrcaSession.key("Return")
    activate(app)
    close(proc, name + " with settings it cannot keep")


def shown_next_run(program, data, expected, what):
    proc, app = start(program, data)
    wait_values(app, expected, what)
    proc.terminate()
    proc.wait(10)


def main():
    earkey, keyview, data = sys.argv[1:4]
    config = os.environ["XDG_CONFIG_HOME"]
    wait_for_session()
    for program in (earkey, keyview):
        name = os.path.basename(program)
        conf = os.path.join(config, "keytut", name + ".conf")
        proc, app = start(program, data, "--keyer", "iambic-b", "--input-keys", "[,]")
        wait_values(app, ["12", "12", "1"], name + " first run")
        for keys in (["alt+c"], ["Down"], ["alt+p"], ["BackSpace", "4"]):
            time.sleep(0.3)
            orcalib.OrcaSession.key(*keys)
        wait_values(app, ["15", "12", "4"], name + " chosen")
        close(proc, name)
        if not os.path.isfile(conf):
            failures.append("%s: no settings file %s" % (name, conf))

        proc, app = start(program, data)
        wait_values(app, ["15", "12", "4"], name + " next run")
        close(proc, name)
        with open(conf) as f:
            kept = f.read()
        for line in ("keyer=iambic-b", "dot=LEFTBRACE", "dash=RIGHTBRACE"):
            if line not in kept.split("\n"):
                failures.append("%s: %r not kept in %r" % (name, line, kept))

        proc, app = start(program, data, "--reset-settings")
        wait_values(app, ["12", "12", "1"], name + " --reset-settings")
        proc.terminate()
        proc.wait(10)

        with open(conf, "wb") as f:
            f.write(b"\x00\xff[speeds\ncharacter=\x01\n")
        proc, app = start(program, data)
        wait_values(app, ["12", "12", "1"], name + " damaged file")
        proc.terminate()
        proc.wait(10)
        hostile_files(program, data, conf)
        two_at_once(program, data, conf)
        cannot_keep(program, data)
    return orcalib.finish(failures)


if __name__ == "__main__":
    sys.exit(main())
