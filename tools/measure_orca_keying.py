#!/usr/bin/python3
"""Does keying on the keyboard cut off Orca while it speaks a decoded character? And the mouse?

Run by measure-orca-keying.sh (inside tests/e2e/a11y_session.sh):
    measure_orca_keying.py EARKEY DATA_FOLDER

Earkey starts with --no-sound --port 1=keyboard and opens Straight Key Decode. For each way of
keying (Left Ctrl, the left mouse button), a dot is keyed; when Orca begins to speak the decoded
"E", the learner at once keys the next dot. Orca's log then tells whether the speech was stopped
("Interrupting presentation" within 600 ms of the utterance). Prints what happened for each.
"""

import os
import re
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "keys"))
import orcalib  # noqa: E402
import pyatspi  # noqa: E402

from orca_key_decode import focus_button, norm  # noqa: E402

# Orca's own line when it silences what it is saying.
STOP = re.compile(r"^(\d\d:\d\d:\d\d\.\d{6}) - DEFAULT: Interrupting presentation", re.M)


def stamp_of(text):
    h, m, s = text.split(":")
    return int(h) * 3600 + int(m) * 60 + float(s)


def press(way, down):
    if way == "keyboard":
        subprocess.run(["xdotool", "keydown" if down else "keyup", "Control_L"], check=True)
    else:
        subprocess.run(["xdotool", "mousedown" if down else "mouseup", "1"], check=True)


def dot(way):
    press(way, True)
    time.sleep(0.1)
    press(way, False)


def main():
    earkey, data = sys.argv[1:3]
    results = {}
    with orcalib.OrcaSession() as s:
        s.start_orca()
        s.start_program([earkey, "--no-sound", "--port", "1=keyboard"], cwd=data)
        s.wait_for_speech(lambda t: "E T I M" in t, timeout=20)
        s.settle(0.5)
        app = orcalib.find_application("earkey")
        focus_button(app, "Straight Key Send")
        s.wait_for_speech(lambda t: "Straight Key Send" in t, timeout=10)
        s.settle(0.3)
        s.key("space")
        s.wait_for_speech(lambda t: "Straight Key Decode" in t, timeout=10)
        s.settle(0.5)
        # The pointer over the decode window, for the mouse.
        win = next(app.getChildAtIndex(i) for i in range(app.childCount)
                   if app.getChildAtIndex(i).name == "Straight Key Decode")
        box = win.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        subprocess.run(["xdotool", "mousemove", str(box.x + box.width // 2),
                        str(box.y + box.height - 10)], check=True)
        dot("keyboard")  # the first key-down only arms the decoder
        time.sleep(1.5)
        for way in ("keyboard", "mouse", "keyboard", "mouse"):
            mark = s.mark()
            dot(way)  # E, output after a pause
            u = s.wait_for_speech(lambda t: norm(t) == "E", since=mark, timeout=5)
            dot(way)  # the next character begins at once
            time.sleep(1.5)  # and is output, spoken
            log = s.log_text()
            stops = [stamp_of(m.group(1)) for m in STOP.finditer(log)
                     if u.stamp < stamp_of(m.group(1)) < u.stamp + 0.6]
            results.setdefault(way, []).append((u.stamp, stops))
        s.key("Escape")
    for way, runs in results.items():
        for spoke, stops in runs:
            if stops:
                print("%-8s: 'E' began %.3f; speech stopped %.0f ms later" %
                      (way, spoke, (stops[0] - spoke) * 1000))
            else:
                print("%-8s: 'E' began %.3f; not stopped" % (way, spoke))
    cut = {way: all(stops for _, stops in runs) for way, runs in results.items()}
    print("keyboard keying cuts off the speech: %s" % ("yes" if cut["keyboard"] else "no"))
    print("mouse keying cuts off the speech: %s" % ("yes" if cut["mouse"] else "no"))


if __name__ == "__main__":
    try:
        main()
    except Exception as error:  # noqa: BLE001
        print("measure_orca_keying: %s" % error)
        sys.exit(1)
