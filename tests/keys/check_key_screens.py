#!/usr/bin/python3
"""Keyview's decode screens as a learner uses them, read back over AT-SPI; and the port messages
of both editions through the real serial layer.

Usage, inside tests/e2e/a11y_session.sh, with Debian's /usr/bin/python3 (pyatspi):
    check_key_screens.py BUILD_DIR DATA_DIR [SCREENSHOT_DIR]

- "PARIS PARIS" keyed by hand at 15 wpm (simulated key): the text box shows it; "Timings" gives
  the ratio and the character speed that keytut-keying --decode --report computes for the same
  script, and a word speed the script's span can give on a clock counting whole seconds (its
  whole seconds, or one more or fewer: the program's clock may stand anywhere in its second).
- "CQ" from a paddle script at 20 wpm, with the character speed set to 20: the box shows " CQ".
- "No Comm Port Selected" for an empty port box, "Can't open port 7" for an absent device,
  "Can't open port N" for a device that another program holds open, for a pseudo-terminal that
  nobody holds (a terminal, but no serial port) and for a key script that is a folder; and
  "Can't open port 1" for a serial port that another Keyview's decode screen holds (where the
  machine has a serial port with modem lines that nothing holds).
"""

import math
import os
import pty
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
import orcalib  # noqa: E402
import pyatspi  # noqa: E402


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


nodes = orcalib.nodes


def wait_node(app, predicate, timeout=15.0, what="node"):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        for node in nodes(app):
            try:
                if predicate(node):
                    return node
            except Exception:
                continue
        time.sleep(0.1)
    fail("no %s within %.0f s" % (what, timeout))


def gone(app, name, timeout=10.0):
    deadline = time.monotonic() + timeout
    while name in orcalib.window_names(app):
        if time.monotonic() > deadline:
            fail("%r did not close" % name)
        time.sleep(0.1)


def text_of(node):
    try:
        t = node.queryText()
        return t.getText(0, t.characterCount)
    except Exception:
        return node.name or ""


def window(app, name):
    return wait_node(app, lambda n: n.name == name and n.getRole() in
                     (pyatspi.ROLE_DIALOG, pyatspi.ROLE_FRAME, pyatspi.ROLE_WINDOW),
                     what="window %r" % name)


def text_box(win):
    return wait_node(win, lambda n: n.getRole() == pyatspi.ROLE_TEXT, what="text box")


def message_box(app, title):
    """The message box `title` and its text; dismissed with Return."""
    box = wait_node(app, lambda n: n.getRole() == pyatspi.ROLE_ALERT and n.name == title,
                    what="message box %r" % title)
    texts = [text_of(n) for n in nodes(box) if n.getRole() == pyatspi.ROLE_LABEL]
    orcalib.OrcaSession.key("Return")
    gone(app, title)
    return "\n".join(t for t in texts if t)


def timing_report(app, shots):
    """Keyview's timing report: its text and the picture of the keying beside it, which says in
    words what it shows; dismissed with Return."""
    box = wait_node(app, lambda n: n.getRole() == pyatspi.ROLE_DIALOG and n.name == "Timings",
                    what="the timing report")
    picture = wait_node(box, lambda n: n.name == "Picture of your timing",
                        what="the picture of the timing")
    print("The picture says: %r" % picture.description)
    if not picture.description.startswith("Dots "):
        fail("the picture says %r" % picture.description)
    time.sleep(0.5)
    shot(shots, "keyview-timing-picture.png")
    texts = [text_of(n) for n in nodes(box) if n.getRole() == pyatspi.ROLE_LABEL]
    orcalib.OrcaSession.key("Return")
    gone(app, "Timings")
    return "\n".join(t for t in texts if t)


def activate(app):
    """Gives the main window the keyboard focus (there is no window manager to do it)."""
    button = wait_node(app, lambda n: n.getRole() == pyatspi.ROLE_PUSH_BUTTON,
                       what="a button")
    button.queryComponent().grabFocus()
    time.sleep(0.5)


def press_send(app, which):
    """Presses the main window's straight key (0) or paddle key (1) "Send" button, the upper
    and the lower of the two, with SPACE on it (Alt+S is the word speed's)."""
    sends = [n for n in nodes(app)
             if n.getRole() == pyatspi.ROLE_PUSH_BUTTON and n.name == "Send"]
    sends.sort(key=lambda n: n.queryComponent().getExtents(pyatspi.DESKTOP_COORDS).y)
    sends[which].queryComponent().grabFocus()
    time.sleep(0.3)
    orcalib.OrcaSession.key("space")


def set_port(app, text):
    key = orcalib.OrcaSession.key
    box = wait_node(app, lambda n: n.getRole() in (pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY) and
                    n.getState().contains(pyatspi.STATE_EDITABLE), what="the port box")
    box.queryComponent().grabFocus()
    time.sleep(0.2)
    key("ctrl+a", "BackSpace")
    if text:
        orcalib.OrcaSession.type_text(text)


def shot(folder, name):
    if folder:
        subprocess.run(["import", "-window", "root", os.path.join(folder, name)], check=False)


def free_serial_port():
    """A serial port of this machine whose modem lines can be read and that no process holds
    open, or None."""
    import fcntl
    import glob
    import termios
    held = set()
    for fd in glob.glob("/proc/[0-9]*/fd/*"):
        try:
            held.add(os.readlink(fd))
        except OSError:
            continue
    for device in sorted(glob.glob("/dev/ttyS[0-9]*") + glob.glob("/dev/ttyUSB*") +
                         glob.glob("/dev/ttyACM*")):
        if device in held:
            continue
        try:
            fd = os.open(device, os.O_RDWR | os.O_NOCTTY | os.O_NONBLOCK)
        except OSError:
            continue
        try:
            fcntl.ioctl(fd, termios.TIOCMGET, b"\0" * 4)
            return device
        except OSError:
            continue
        finally:
            os.close(fd)
    return None


def main():
    build, data = sys.argv[1:3]
    shots = sys.argv[3] if len(sys.argv) > 3 else None
    keyview = os.path.join(build, "keyview", "keyview")
    earkey = os.path.join(build, "earkey", "earkey")
    keying = os.path.join(build, "tools", "keytut-keying")
    table = os.path.join(data, "KEYTUT.CDE")
    work = tempfile.mkdtemp()
    straight = os.path.join(work, "paris.txt")
    paddle = os.path.join(work, "cq.txt")
    subprocess.run([keying, "--code-table", table, "--wpm", "15", "--jitter", "0.1", "--seed",
                    "4", "-o", straight, "PARIS PARIS"], check=True)
    subprocess.run([keying, "--code-table", table, "--wpm", "20", "--jitter", "0.1", "--paddle",
                    "-o", paddle, "CQ"], check=True)
    expected = subprocess.run([keying, "--code-table", table, "--decode", straight, "--report"],
                              check=True, capture_output=True, text=True).stdout.split("\n")
    # The accessibility bus must be up before the programs start, or their bridge stays off.
    pyatspi.Registry.getDesktop(0)
    held, holder = pty.openpty()
    held_device = os.ttyname(holder)
    lone, lone_end = pty.openpty()
    lone_device = os.ttyname(lone_end)
    os.close(lone_end)  # nobody holds this terminal's near end
    s = orcalib.OrcaSession()
    try:
        # 1. Straight key, then its report.
        s.start_program([keyview, "--no-sound", "--port", "1=sim:" + straight,
                         "--port", "2=sim:" + paddle, "--port", "3=" + held_device,
                         "--port", "4=" + lone_device, "--port", "5=sim:" + work], cwd=data)
        app = orcalib.find_application("keyview")
        activate(app)
        press_send(app, 0)
        win = window(app, "Straight Key Decode")
        box = text_box(win)
        deadline = time.monotonic() + 30
        while text_of(box) != "PARIS PARIS" and time.monotonic() < deadline:
            time.sleep(0.2)
        if text_of(box) != "PARIS PARIS":
            fail("the box shows %r" % text_of(box))
        print("Keyview's text box: %r" % text_of(box))
        shot(shots, "keyview-straight-key.png")
        timings = wait_node(win, lambda n: n.getRole() == pyatspi.ROLE_PUSH_BUTTON and
                            n.name == "Timings", what="Timings")
        timings.queryComponent().grabFocus()
        s.key("space")
        report = timing_report(app, shots).replace("\r", "")
        print("The report: %r" % report)
        print("keytut-keying's report of the script: %r" % expected[1:])
        lines = report.split("\n")
        if lines[0] != expected[1].rstrip("\r") or lines[2] != expected[3].rstrip("\r"):
            fail("ratio or character speed differ")
        words, span = expected[4].split()[1], expected[4].split()[4]
        # The ends of the span each land on a whole second of the program's clock; a few ms of
        # tick lateness may move either.
        seconds = range(math.floor(float(span) - 0.05), math.ceil(float(span) + 0.05) + 1)
        want = sorted({round(60 * int(words) / n) for n in seconds if n > 0})
        got = int(lines[1].split(":")[1].split()[0])
        if got not in want or not lines[1].endswith(" WPM"):
            fail("word speed %r, one of %r expected" % (lines[1], want))
        if text_of(box) != "":
            fail("the box was not emptied after the report")
        s.key("Escape")
        gone(app, "Straight Key Decode")
        activate(app)

        # 2. The paddle at 20 wpm.
        s.key("alt+c", "Home", "Down", "Down", "Down", "Down")  # 5 12 15 18 20
        set_port(app, "2")
        press_send(app, 1)
        win = window(app, "Paddle Key Decode")
        box = text_box(win)
        deadline = time.monotonic() + 20
        while text_of(box) != " CQ" and time.monotonic() < deadline:
            time.sleep(0.2)
        print("Paddle screen at 20 wpm: %r" % text_of(box))
        if text_of(box) != " CQ":
            fail("the paddle screen shows %r" % text_of(box))
        shot(shots, "keyview-paddle-key.png")
        s.key("Escape")
        gone(app, "Paddle Key Decode")
        activate(app)

        # 3. Port messages.
        for port, message in (("", "No Comm Port Selected"), ("7", "Can't open port 7"),
                              ("3", "Can't open port 3"), ("4", "Can't open port 4"),
                              ("5", "Can't open port 5")):
            set_port(app, port)
            press_send(app, 0)
            got = message_box(app, "Comm Port Error")
            activate(app)
            print("Port %r: %r" % (port, got))
            if got != message:
                fail("port %r gave %r" % (port, got))
            if "Straight Key Decode" in orcalib.window_names(app):
                fail("the screen opened after the message")
    finally:
        s.stop()
    os.close(holder)
    os.close(lone)

    # 4. A serial port held by another Keyview's open decode screen. Qt SerialPort opens nothing
    # without a lock folder it may write, and only a real serial port (one with modem lines)
    # opens at all.
    if not any(os.access(d, os.W_OK) for d in ("/run/lock", "/var/lock")):
        print("no writable /run/lock or /var/lock: the held-by-a-screen case is left out")
        print("PASS")
        return
    held_device = free_serial_port()
    if not held_device:
        print("no serial port with modem lines that nothing holds: the held-by-a-screen case "
              "is left out")
        print("PASS")
        return
    print("A serial port for the held-by-a-screen case: %s" % held_device)
    s = orcalib.OrcaSession()
    try:
        # The port typed last above is kept by Keyview; this part starts from the defaults.
        first = s.start_program([keyview, "--no-sound", "--reset-settings", "--port",
                                 "1=" + held_device], cwd=data)
        app = orcalib.find_application("keyview")
        activate(app)
        press_send(app, 0)
        window(app, "Straight Key Decode")
        s.start_program([earkey, "--no-sound", "--reset-settings", "--port", "1=" + held_device],
                        cwd=data)
        other = orcalib.find_application("earkey")
        time.sleep(1.0)
        button = wait_node(other, lambda n: n.getRole() == pyatspi.ROLE_PUSH_BUTTON and
                           n.name == "Straight Key Send", what="Straight Key Send")
        button.queryComponent().grabFocus()
        time.sleep(0.3)
        s.key("space")
        got = message_box(other, "Comm Port Error")
        print("Earkey while Keyview's screen holds the port: %r" % got)
        if got != "Can't open port 1":
            fail("the second screen gave %r" % got)
        del first
    finally:
        s.stop()
    print("PASS")


if __name__ == "__main__":
    main()
