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
"""

import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import orcalib  # noqa: E402

failures = []


def start(program, data, *extra):
    env = dict(os.environ, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    proc = subprocess.Popen([program, "--no-sound", "--data", data] + list(extra), cwd="/",
                            env=env, stdin=subprocess.DEVNULL)
    app = orcalib.find_application(os.path.basename(program), timeout=20)
    return proc, app


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
        failures.append("%s: Escape did not end the program" % what)


def main():
    earkey, keyview, data = sys.argv[1:4]
    config = os.environ["XDG_CONFIG_HOME"]
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
    for failure in failures:
        print("FAIL: " + failure)
    if not failures:
        print("PASS")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
