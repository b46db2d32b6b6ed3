#!/usr/bin/python3
"""Earkey's Straight Key Decode screen with a simulated key, listened to by real Orca.

Usage, inside tests/e2e/a11y_session.sh:
    orca_key_decode.py EARKEY KEYTUT_KEYING DATA_FOLDER

"PARIS PARIS" keyed by hand at 15 wpm (10 % jitter) is written as a key script with
keytut-keying; Earkey starts with --no-sound --port 1=sim:SCRIPT; the learner moves to
"Straight Key Send" and presses SPACE. Orca must speak each decoded character, in order; F1 then
gives the timing report, and once it is dismissed Orca must say how each kind of mark and space
went, the sentences keytut-keying --decode --report gives for the same script, whole; Escape
goes back to the main menu.
"""

import os
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
import orcalib  # noqa: E402
from orcalib import spoken as norm  # noqa: E402


def focus_button(app, name):
    """Puts the keyboard focus on the main menu's button `name`, as Tab would."""
    import pyatspi
    stack = [app]
    while stack:
        node = stack.pop()
        try:
            if node.getRole() == pyatspi.ROLE_PUSH_BUTTON and node.name == name:
                node.queryComponent().grabFocus()
                return
            stack.extend(node.getChildAtIndex(i) for i in range(node.childCount))
        except Exception:
            continue
    raise RuntimeError("no button %r" % name)


def main():
    earkey, keying, data = sys.argv[1:4]
    script = os.path.join(tempfile.mkdtemp(), "paris.txt")
    orcalib.subprocess.run([keying, "--code-table", os.path.join(data, "KEYTUT.CDE"), "--wpm",
                            "15", "--jitter", "0.1", "--seed", "4", "-o", script, "PARIS PARIS"],
                           check=True)
    decoded = orcalib.subprocess.run(
        [keying, "--code-table", os.path.join(data, "KEYTUT.CDE"), "--decode", script, "--report"],
        check=True, capture_output=True, text=True).stdout.splitlines()
    kinds = ("Dots ", "Dashes ", "Gaps inside characters ", "Gaps between characters ",
             "Gaps between words ")
    sentences = [line for line in decoded if line.startswith(kinds) and line.endswith(".")]
    if len(sentences) != 5:
        raise RuntimeError("keytut-keying gave %r" % decoded)
    with orcalib.OrcaSession() as s:
        s.start_orca()
        s.start_program([earkey, "--no-sound", "--port", "1=sim:" + script], cwd=data)
        s.wait_for_speech(lambda t: "E T I M" in t, timeout=20)
        s.settle(0.5)
        app = orcalib.find_application("earkey")
        focus_button(app, "Straight Key Send")
        s.wait_for_speech(lambda t: "Straight Key Send" in t, timeout=10)
        s.settle(0.3)
        start = s.mark()
        s.key("space")
        heard = []
        since = start
        try:
            for ch in "PARISPARIS":
                u = s.wait_for_speech(lambda t, ch=ch: norm(t) == ch, since=since, timeout=20)
                heard.append(u)
                since = u.index + 1
        except TimeoutError:
            print("Spoken from opening the screen: %r" % s.spoken_since(start))
            raise
        s.settle(0.5)
        mark = s.mark()
        s.key("F1")
        report = s.wait_for_speech(lambda t: "Dot to dash ratio" in t, since=mark, timeout=10)
        s.settle(0.5)
        mark = s.mark()
        s.key("Return")  # dismisses the report
        said = s.wait_for_speech(lambda t: sentences[0] in t, since=mark, timeout=10)
        if not all(sentence in said.text for sentence in sentences):
            raise RuntimeError("Orca said %r after the report, not %r" % (said.text, sentences))
        s.settle(1.0)
        s.key("Escape")
        # The screen has gone (without a window manager nothing gives the main menu the focus
        # back, so nothing more is said).
        deadline = time.monotonic() + 10
        while "Straight Key Decode" in orcalib.window_names(app):
            if time.monotonic() > deadline:
                raise RuntimeError("Escape did not close the screen")
            time.sleep(0.1)
        everything = s.speech()[start:]

    print("Each decoded character as Orca spoke it:")
    for u in heard:
        print("  %.3f %r" % (u.stamp, u.text))
    print("The report: %r" % report.text)
    print("After the report: %r" % said.text)
    print("Everything Orca said from opening the screen:")
    for u in everything:
        print("  %.3f %r" % (u.stamp, u.text))
    print("PASS")


if __name__ == "__main__":
    try:
        main()
    except Exception as error:  # noqa: BLE001 - the reason goes to the test log
        print("FAIL: %s" % error)
        sys.exit(1)
