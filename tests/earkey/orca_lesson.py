#!/usr/bin/python3
"""A scripted Earkey lesson listened to by a real screen reader (Orca).

Usage, inside tests/e2e/a11y_session.sh:
    orca_lesson.py EARKEY PRINT_DRAWS DATA_FOLDER

Earkey starts in the data folder with --no-sound --seed 1. Both speeds are set to 30 in the
main menu (so that the test text is sent in about half a minute), lesson 1 is opened, and then,
as a learner: SPACE, Return, SPACE (the same character again), F1, Return, a right key and a wrong
key, F1, Return, the end of the test, Down, Down, Up. Orca's speech must hold every character,
instruction and group read back, in that order. PRINT_DRAWS tells which characters the seed
draws, so that the right and the wrong key and the groups are known.
"""

import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
import orcalib  # noqa: E402
from orcalib import Listener, spoken as norm  # noqa: E402

HEARING = ("Press SPACE to start or repeat a character,\nReturn for the next character\n"
           "or F1 for the next stage")
RECOGNITION = ("Random characters will now be sent from the group,\n"
               "Enter to start, press the key of the character you hear,\n"
               "F1 for the next stage or Escape to exit")
GROUP_TEST = ("20 groups of 5 characters will now be sent \nfrom those learned so far,\n"
              "They will be displayed when finished sending,\nEnter to start or Escape to exit")
FINISHED = "Use the cursor keys to read the list of words\nPress enter to go again"


def held_key(name):
    """A letter key held for 150 ms, long enough for the 50 ms key poller to see it down."""
    subprocess.run(["xdotool", "keydown", name], check=True)
    time.sleep(0.15)
    subprocess.run(["xdotool", "keyup", name], check=True)


def main():
    earkey, print_draws, data = sys.argv[1:4]
    draws = subprocess.check_output([print_draws, "1", "ETIM", "102"], text=True).strip()
    right, after_right = draws[0], draws[1]
    wrong = next(c for c in "ETIM" if c != after_right)
    groups = [draws[2 + 5 * i:7 + 5 * i] for i in range(20)]
    spelled = ["".join(" " + c for c in g) for g in groups]

    with orcalib.OrcaSession() as s:
        s.start_orca()
        s.start_program([earkey, "--no-sound", "--seed", "1"], cwd=data)
        s.wait_for_speech(lambda t: "E T I M" in t, timeout=20)
        s.settle(0.5)
        # Both speeds to 30: the lists' mnemonics, then the last choice.
        s.key("alt+c")
        s.key("End")
        s.key("alt+s")
        s.key("End")
        s.settle(0.5)
        listen = Listener(s)
        start = listen.mark
        s.key("Return")  # the first lesson button is the default button
        listen.expect(HEARING)
        s.settle(0.3)

        s.key("space")
        listen.expect("E")
        s.key("Return")
        listen.expect("T")
        s.key("space")
        listen.expect("T")  # the same character again, spoken again

        s.key("F1")
        listen.expect(RECOGNITION)
        s.settle(0.3)
        s.key("Return")
        time.sleep(1.0)
        held_key(right.lower())
        time.sleep(1.0)
        held_key(wrong.lower())
        time.sleep(2.0)

        s.key("F1")
        listen.expect(GROUP_TEST)
        s.settle(0.3)
        s.key("Return")
        listen.expect(FINISHED, timeout=150)
        s.settle(0.3)
        for key, group in (("Down", 0), ("Down", 1), ("Up", 0)):
            s.key(key)
            listen.expect(spelled[group])
        s.settle(0.5)
        s.key("Escape")
        time.sleep(0.5)
        s.key("Escape")
        time.sleep(0.5)
        everything = s.speech()[start:]
        log = s.log_text()

    # The window's opening speaks its instructions once: not also as loose text of the window.
    opening = [u for u in everything if norm(HEARING) in norm(u.text)]
    if len(opening) != 1:
        raise AssertionError("the opening instructions were spoken %d times: %r"
                             % (len(opening), [u.text for u in opening]))
    print("Expected and heard, in order:")
    for text, u in listen.heard:
        print("  %-12s <- %.3f %r" % (norm(text)[:12], u.stamp, u.text))
    print("Everything Orca said from opening the lesson:")
    for u in everything:
        print("  %.3f %r" % (u.stamp, u.text))
    # Orca's own lines for the repeated character.
    repeated = listen.heard[3][1]
    stamp = "%02d:%02d:%09.6f" % (repeated.stamp // 3600, repeated.stamp % 3600 // 60,
                                   repeated.stamp % 60)
    print("Orca's log around the repeated character (%s):" % stamp)
    lines = log.splitlines()
    for i, line in enumerate(lines):
        if line.startswith(stamp):
            for near in lines[max(0, i - 40):i + 3]:
                if any(k in near for k in ("SPEECH OUTPUT", "Skipping", "focus", "FOCUS")):
                    print("  " + near[:200])
            break
    print("PASS")


if __name__ == "__main__":
    try:
        main()
    except Exception as error:  # noqa: BLE001 - the reason goes to the test log
        print("FAIL: %s" % error)
        sys.exit(1)
