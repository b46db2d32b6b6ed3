#!/usr/bin/python3
"""One whole Koch session in Earkey, copied by ear and listened to by real Orca.

Usage, inside tests/e2e/a11y_session.sh:
    orca_koch_session.py EARKEY KEYTUT_PROGRESS DATA_FOLDER

Earkey starts with a fresh progress file and records what it plays (--record). As a learner
would: both speeds are set to 30 wpm in the main menu, Tab moves on until Orca says "Koch
Trainer", and Return opens it. Each of the twenty groups is started with Return and copied by
ear: the test knows nothing of it but the sound, read back from the recording as it grows once
the group has sounded (tools/decode_morse.py). The copy is typed and Return judges it; Orca must
speak the result of every group ("5 of 5. Sent K M ..., you typed ..."). One group is copied
with one character wrong, so the session reaches 99 %: after the last result Orca must say that
the next character of the course, U, is added, and the next Return must send it three times in
the sound. Escape goes back to the main menu, and the trainer opened again is at level 3
with U. Escape twice ends the program; keytut-progress then gives level 3 and the session's
99 percent in its summary, and in its csv the hundred answers, as sent and as typed.
"""

import csv
import io
import os
import struct
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.path.insert(0, os.path.join(HERE, "..", "..", "tools"))
import orcalib  # noqa: E402
from analyse_tones import tone_runs  # noqa: E402
from decode_morse import decode, read_code_table  # noqa: E402
from orcalib import spoken as norm  # noqa: E402

WPM = 30
SPEED_STEPS = 5  # 12 -> 30 wpm in the speed lists
GROUPS = 20
WRONG_GROUP = 6  # this group's third character is copied wrong
COURSE_START, NEW_CHARACTER = "KM", "U"
QUIET_S = 0.5  # the recording unchanged this long: the sound has ended
failures = []


def check(what, ok, detail=""):
    print("%s %-58s %s" % ("ok  " if ok else "FAIL", what, detail))
    if not ok:
        failures.append("%s %s" % (what, detail))
    return ok


class Recording:
    """The WAV file the program writes as it plays, read while it grows. Silence is written
    only when the next sound comes, so the file stops growing when a sound ends."""

    def __init__(self, path):
        self.path = path
        self.data_at = None
        self.rate = None

    def _find_data(self):
        """Where the samples start; None while the file has no header yet."""
        if self.data_at is None and os.path.exists(self.path):
            with open(self.path, "rb") as f:
                head = f.read(4096)
            pos = 12
            while pos + 8 <= len(head):
                chunk, size = head[pos:pos + 4], struct.unpack("<I", head[pos + 4:pos + 8])[0]
                if chunk == b"fmt ":
                    channels, rate = struct.unpack("<HI", head[pos + 10:pos + 16])
                    bits = struct.unpack("<H", head[pos + 22:pos + 24])[0]
                    if (channels, bits) != (1, 16):
                        raise RuntimeError("the recording is not 16-bit mono")
                    self.rate = rate
                if chunk == b"data":
                    # The size the header gives is brought up to date only now and then.
                    self.data_at = pos + 8
                    break
                pos += 8 + size + (size & 1)
        return self.data_at

    def length(self):
        """How many samples have been written: a position in the sound."""
        if self._find_data() is None:
            return 0
        return max(0, (os.path.getsize(self.path) - self.data_at) // 2)

    def samples(self, since):
        """The samples written from position `since` on."""
        if self._find_data() is None:
            return []
        with open(self.path, "rb") as f:
            f.seek(self.data_at + 2 * since)
            raw = f.read()
        return list(struct.unpack("<%dh" % (len(raw) // 2), raw[:len(raw) // 2 * 2]))

    def next_sound(self, since, timeout=15.0):
        """The samples from position `since` on, once a sound has started after it and
        ended."""
        deadline = time.monotonic() + timeout
        last, changed = self.length(), time.monotonic()
        while time.monotonic() < deadline:
            time.sleep(0.05)
            now = self.length()
            if now != last:
                last, changed = now, time.monotonic()
            elif now > since and time.monotonic() - changed >= QUIET_S:
                return self.samples(since)
        raise TimeoutError("no sound ended in the recording within %.0f s (%d samples, %d before)"
                           % (timeout, self.length(), since))


def listen(record, since, patterns, complete, timeout=15.0):
    """What is heard from position `since` on, once it is `complete` (a group is five
    characters: a pause inside one, on a machine too busy to play on time, is not its end)."""
    deadline = time.monotonic() + timeout
    while True:
        sound = record.next_sound(since, max(0.1, deadline - time.monotonic()))
        text = heard(sound, record.rate, patterns)
        if complete(text):
            return text
        # Wait for more than was there.
        while record.length() == since + len(sound):
            if time.monotonic() >= deadline:
                return text
            time.sleep(0.05)


def heard(samples, rate, patterns):
    """What a listener copies from the sound: the Morse read back at the speeds set."""
    runs = [(int(a * rate), int(b * rate)) for a, b in tone_runs(samples, rate)]
    dot = round(9200 / WPM) * rate / 8000
    return decode(runs, dot, dot, patterns)


def tab_to(s, name, limit=45):
    """Tab until Orca says `name`, as a learner moves through the menu by ear."""
    for _ in range(limit):
        mark = s.mark()
        s.key("Tab")
        u = s.wait_for_speech(lambda t: True, since=mark, timeout=5)
        s.settle(0.2)
        if any(name in t for t in s.spoken_since(u.index)):
            return
    raise RuntimeError("Orca never said %r after %d Tabs" % (name, limit))


def set_speed(s, mnemonic):
    """A speed list's mnemonic, then Down until the list says WPM."""
    s.key(mnemonic)
    s.settle(0.3)
    mark = s.mark()
    for _ in range(SPEED_STEPS):
        s.key("Down")
        time.sleep(0.15)
    # Orca says each value chosen ("notification 30").
    s.wait_for_speech(lambda t: norm(t).split()[-1:] == [str(WPM)], since=mark, timeout=5)
    s.settle(0.3)


def announced(text):
    """What the announcer had Orca say: Orca names its role first ("notification 5 of 5...")."""
    text = norm(text)
    return text[len("notification "):] if text.startswith("notification ") else text


def right_of(sent, typed):
    """Right characters of a copy with no character missed or added."""
    return sum(1 for a, b in zip(sent, typed) if a == b)


def result_text(sent, typed):
    return "%d of 5. Sent %s, you typed %s" % (right_of(sent, typed), " ".join(sent),
                                                " ".join(typed))


def keytut_progress(tool, progress, command):
    out = subprocess.run([tool, "--progress", progress, command], capture_output=True, text=True)
    return out.returncode, out.stdout


def main():
    earkey, tool, data = sys.argv[1:4]
    patterns = read_code_table(os.path.join(data, "KEYTUT.CDE"))
    folder = tempfile.mkdtemp(prefix="koch-session-", dir=os.environ.get("A11Y_SESSION_DIR"))
    record = Recording(os.path.join(folder, "session.wav"))
    progress = os.path.join(folder, "progress.sqlite3")
    groups, copies, results = [], [], []
    started = time.monotonic()
    with orcalib.OrcaSession() as s:
        s.start_orca()
        proc = s.start_program([earkey, "--data", data, "--progress", progress,
                                "--record", record.path], cwd=data)
        s.wait_for_speech(lambda t: "E T I M" in t, timeout=30)
        s.settle(0.5)
        set_speed(s, "alt+c")
        set_speed(s, "alt+s")
        tab_to(s, "Koch Trainer")
        mark = s.mark()
        s.key("Return")
        opening = s.wait_for_speech(lambda t: "Level 2 of 41" in t, since=mark, timeout=10)
        print("Orca on opening the trainer: %r" % opening.text)
        s.settle(0.5)

        for g in range(GROUPS):
            before = record.length()
            s.key("Return")  # the group sounds
            # A late gap read as a word space changes nothing of what is copied.
            group = listen(record, before, patterns,
                           lambda t: len(t.replace(" ", "")) >= 5).replace(" ", "")
            groups.append(group)
            if not check("group %d heard: five of %s" % (g + 1, " ".join(COURSE_START)),
                         len(group) == 5 and set(group) <= set(COURSE_START), repr(group)):
                break
            copy = group
            if g == WRONG_GROUP:
                other = COURSE_START.replace(group[2], "")
                copy = group[:2] + other + group[3:]
            copies.append(copy)
            s.type_text(copy.lower())
            time.sleep(0.2)
            mark = s.mark()
            s.key("Return")  # and judged
            expected = result_text(group, copy)
            if g == GROUPS - 1:
                right = sum(map(right_of, groups, copies))
                expected += (". Session %d percent. New character: %s. Press Return to hear "
                             "it three times" % (100 * right // (5 * GROUPS), NEW_CHARACTER))
            try:
                # Generous: Orca on a loaded machine has been seen to say nothing for 10 s.
                u = s.wait_for_speech(lambda t: "of 5. Sent" in t, since=mark, timeout=30)
            except TimeoutError as error:
                check("group %d: the result spoken" % (g + 1), False, "%s; Earkey %s; the end "
                      "of Orca's log: %r" % (error, "running" if proc.poll() is None else
                                             "ended", s.log_text()[-3000:]))
                break
            results.append(u.text)
            check("group %d: Orca said the result" % (g + 1), announced(u.text) == norm(expected),
                  repr(u.text))
        else:
            s.settle(0.5)
            before = record.length()
            s.key("Return")  # the new character, three times
            three = listen(record, before, patterns, lambda t: len(t.split()) >= 3)
            check("the new character sent three times", three == " ".join([NEW_CHARACTER] * 3),
                  repr(three))
            s.settle(0.5)
            # Opened again, the trainer is at the new level.
            mark = s.mark()
            s.key("Escape")
            s.wait_for_speech(lambda t: "Koch Trainer push button" in t, since=mark, timeout=10)
            s.settle(0.3)
            mark = s.mark()
            s.key("Return")
            level = "Level 3 of 41: K M %s" % NEW_CHARACTER
            try:
                again = s.wait_for_speech(lambda t: "Level " in t, since=mark, timeout=10).text
            except TimeoutError as error:
                again = str(error)
            check("opened again: Orca says the new level", level in again, repr(again))
            s.settle(0.5)
        s.key("Escape")
        time.sleep(0.5)
        s.key("Escape")
        try:
            proc.wait(15)
        except subprocess.TimeoutExpired:
            check("Escape twice ends Earkey", False)
    elapsed = time.monotonic() - started

    status, summary = keytut_progress(tool, progress, "summary")
    first = summary.splitlines()[0] if summary else ""
    check("keytut-progress summary: level 3, the session's 99 percent",
          status == 0 and first.startswith("Level 3 of 41. Last session 99 percent"), repr(first))
    status, text = keytut_progress(tool, progress, "csv")
    rows = list(csv.DictReader(io.StringIO(text)))
    check("keytut-progress csv: the hundred answers", status == 0 and len(rows) == 5 * GROUPS,
          "%d rows" % len(rows))
    sent = "".join(r["sent"] for r in rows)
    check("csv: each character as it was heard", sent == "".join(groups), sent)
    answered = "".join(r["answered"] for r in rows)
    check("csv: each answer as it was typed", answered == "".join(copies), answered)
    wrong = [i for i, r in enumerate(rows) if r["right"] != "1"]
    check("csv: one answer wrong, the third of group %d" % (WRONG_GROUP + 1),
          wrong == [5 * WRONG_GROUP + 2], str(wrong))
    check("csv: every answer Earkey's Koch trainer's, at the speeds set (%d wpm)" % WPM,
          rows and all((r["edition"], r["exercise"], r["char_wpm"], r["word_wpm"]) ==
                       ("earkey", "koch", str(WPM), str(WPM)) for r in rows),
          str(rows[:1]))

    print("Two groups as Orca spoke their results:")
    for g in (0, WRONG_GROUP):
        if g < len(results):
            print("  group %d: %r" % (g + 1, results[g]))
    if results:
        print("The last group and the level-up: %r" % results[-1])
    print("keytut-progress summary: %r" % first)
    print("The session took %.1f s" % elapsed)
    return orcalib.finish(failures)


if __name__ == "__main__":
    try:
        sys.exit(main())
    except Exception as error:  # noqa: BLE001 - the reason goes to the test log
        print("FAIL: %s" % error)
        sys.exit(1)
