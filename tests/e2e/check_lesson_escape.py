"""Escape leaves a lesson at once, however many keys were pressed before it.

Run inside a11y_session.sh (private home, Xvfb, D-Bus) with Debian's /usr/bin/python3:
    check_lesson_escape.py EARKEY KEYVIEW DATA_DIR

Each edition opens lesson 1 and records what it plays (--record). Twenty keys that play a
character are pressed 100 ms apart (Earkey: SPACE, each followed by a second's pause; Keyview:
E), then Escape: the lesson window must go, and no character may start in the recording later
than half a second after the Escape (keys that were still waiting are never played). The time
from the Escape to the window's going is printed.
"""

import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
import analyse_tones  # noqa: E402
import orcalib  # noqa: E402
import pyatspi  # noqa: E402

failures = []


def check(ok, what):
    print("%s %s" % ("ok  " if ok else "FAIL", what))
    if not ok:
        failures.append(what)


def visible(title):
    return subprocess.run(["xdotool", "search", "--onlyvisible", "--name", title],
                          capture_output=True, text=True).stdout.split()


def wait_window(title, present, timeout):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if bool(visible(title)) == present:
            return True
        time.sleep(0.01)
    return False


def lesson(program, data, key):
    name = os.path.basename(program)
    record = os.path.join(os.environ.get("A11Y_SESSION_DIR", "/tmp"), name + "-lesson.wav")
    env = dict(os.environ, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    proc = subprocess.Popen([program, "--record", record, "--reset-settings"], cwd=data, env=env,
                            stdin=subprocess.DEVNULL)
    try:
        app = orcalib.find_application(pid=proc.pid, timeout=20)
        buttons = [n for n in orcalib.nodes(app) if n.getRole() == pyatspi.ROLE_PUSH_BUTTON and
                   n.name in ("1", "E T I M ")]
        buttons[0].queryComponent().grabFocus()
        time.sleep(0.5)
        orcalib.OrcaSession.key("space")
        check(wait_window("^Lesson 1", True, 10), "%s: lesson 1 opens" % name)
        time.sleep(1.0)
        orcalib.OrcaSession.key(*([key] * 20), delay_ms=100)
        pressed = time.monotonic()
        orcalib.OrcaSession.key("Escape")
        # The recording is written as it plays: its length now is the moment of the Escape.
        escaped_at = (os.path.getsize(record) - 44) // 2 / 8000
        gone = wait_window("^Lesson 1", False, 60)
        print("  %s: the lesson went %.2f s after Escape" % (name, time.monotonic() - pressed))
        check(gone, "%s: Escape closes the lesson" % name)
        time.sleep(3.0)  # anything still queued would play now
    finally:
        proc.terminate()
        proc.wait(10)
    samples, rate = analyse_tones.read_mono(record)
    tones = analyse_tones.tone_runs(samples, rate)  # E is a single dot
    late = [start for start, _ in tones if start > escaped_at + 0.5]
    print("  %s: %d characters played for 20 keys, %d of them later than 0.5 s after the Escape"
          % (name, len(tones), len(late)))
    check(not late, "%s: the keys still waiting at the Escape were not played" % name)


def main():
    earkey, keyview, data = sys.argv[1:4]
    pyatspi.Registry.getDesktop(0)  # the accessibility bus before the programs
    lesson(earkey, data, "space")
    lesson(keyview, data, "e")
    return orcalib.finish(failures)


if __name__ == "__main__":
    sys.exit(main())
