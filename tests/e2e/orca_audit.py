"""The accessibility audit: real Orca walks every Tab stop of Earkey's screens.

Run inside a11y_session.sh with Debian's /usr/bin/python3:
    orca_audit.py EARKEY DATA_DIR [SCREEN...]

For each screen of audit_screens.SCREENS (or those named), Earkey is started afresh with
--no-sound in the data folder, the screen is opened from the main menu, and Tab walks its
stops: each must be spoken with its name (and, for lists and boxes, its value; a box or list
named besides its text says its name once, first), each change made from the keyboard must be
spoken, and Tab after the last stop must come back to the first. Prints what Orca said at every stop, then PASS or FAIL: lines.
"""

import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import audit_screens  # noqa: E402
import orcalib  # noqa: E402


def norm(text):
    return " ".join(text.split())


class Audit:
    def __init__(self, session):
        self.s = session
        self.failures = []

    def heard_after(self, keys, expected, timeout=8.0):
        """Presses keys, then waits until every expected text has been said since; returns
        what was said (settled), and whether all was heard."""
        mark = self.s.mark()
        for i, key in enumerate(keys):
            if i:
                # Orca drops a focus that moves on within a few milliseconds, and a screen
                # takes its keys one at a time.
                self.s.settle(0.3)
            self.s.key(key)
        wanted = [norm(e) for e in expected]
        deadline = time.monotonic() + timeout
        while True:
            said = " | ".join(norm(t) for t in self.s.spoken_since(mark))
            if all(w in said for w in wanted):
                break
            if time.monotonic() >= deadline:
                break
            time.sleep(0.05)
        self.s.settle(0.4)
        said = [norm(t) for t in self.s.spoken_since(mark)]
        joined = " | ".join(said)
        return said, all(w in joined for w in wanted)

    @staticmethod
    def said_once(said, name):
        """The name was said once, in the first utterance that says anything, before the
        rest of it."""
        joined = " | ".join(said)
        return joined.count(name) == 1 and any(t.startswith(name) for t in said)

    def check(self, ok, where, said, expected):
        mark = "ok  " if ok else "FAIL"
        print("  %s %-40s %r" % (mark, where[:40], said))
        if not ok:
            self.failures.append("%s: expected %r, Orca said %r" % (where, expected, said))

    def run_screen(self, earkey, data, screen):
        print("%s:" % screen.name)
        s = self.s
        proc = s.start_program([earkey, "--no-sound", *screen.args], cwd=data)
        try:
            s.wait_for_speech(lambda t: audit_screens.LESSON_BUTTONS[0] in norm(t), timeout=30)
            s.settle(0.5)
            if screen.open:
                # The screen's own speech, then its first stop with the focus.
                opening = [screen.first_speech] + screen.stops[0].says
                said, ok = self.heard_after(screen.open, opening, timeout=15)
                if screen.stops[0].once:
                    ok = ok and self.said_once(said, screen.stops[0].says[0])
                self.check(ok, screen.name + " opened", said, opening)
            stops = screen.stops
            for i, stop in enumerate(stops):
                where = "%s stop %d" % (screen.name, i + 1)
                if i > 0:
                    said, ok = self.heard_after(["Tab"], stop.says)
                    if stop.blank:
                        ok = ok and all(norm(t).rstrip(".") == stop.says[0] for t in said)
                        where += " (blank)"
                    elif not said or not any(norm(t).rstrip(".") for t in said):
                        ok = False
                    if stop.once:
                        ok = ok and self.said_once(said, stop.says[0])
                    self.check(ok, where, said, stop.says)
                for keys, expected in stop.changes:
                    said, ok = self.heard_after(keys, expected)
                    self.check(ok, "%s %s" % (where, "+".join(keys)), said, expected)
            if len(stops) > 1:
                # On a screen of one stop, Tab leaves the focus where it is: Orca says nothing.
                said, ok = self.heard_after(["Tab"], stops[0].says)
                self.check(ok, screen.name + " Tab wraps to stop 1", said, stops[0].says)
            if screen.back:
                said, ok = self.heard_after(["Escape"], [screen.back])
                self.check(ok, screen.name + " Escape back to the menu", said, [screen.back])
        finally:
            orcalib._terminate(proc, 5.0)
            s.programs.remove(proc)


def main():
    earkey, data = sys.argv[1], sys.argv[2]
    names = sys.argv[3:]
    screens = [sc for sc in audit_screens.SCREENS if not names or sc.name in names]
    if not screens:
        print("FAIL: no screen called %r" % names)
        return 1
    with orcalib.OrcaSession() as session:
        session.start_orca()
        audit = Audit(session)
        for screen in screens:
            try:
                audit.run_screen(earkey, data, screen)
            except TimeoutError as error:
                audit.failures.append("%s: %s" % (screen.name, error))
    for failure in audit.failures:
        print("FAIL: " + failure)
    if audit.failures:
        return 1
    print("PASS: %d screens" % len(screens))
    return 0


if __name__ == "__main__":
    sys.exit(main())
