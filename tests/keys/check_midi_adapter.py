#!/usr/bin/python3
"""A MIDI key adapter keying "PARIS" at 15 wpm into both programs' Straight Key Decode screen,
then "CQ" at 20 wpm into their Paddle Key Decode screen.

Usage, inside tests/e2e/a11y_session.sh, with Debian's /usr/bin/python3 (pyatspi):
    check_midi_adapter.py BUILD_DIR DATA_DIR

A pseudo-terminal stands in for the adapter's raw-MIDI device node: Keyview is given it with
--port 1=midi:/dev/pts/N; Earkey finds it as the key kept for port 1 (key/1=midi:/dev/pts/N in
its settings file, as the Key screen keeps a choice), with no --port. Both start with the
character speed 20 in their settings file (the straight-key decoder follows the learner's own
speed and does not read it).
At its far end this script plays the adapter: it answers controller 0 with its echo as the
adapter's firmware does (00-3F MIDI mode, 40-7F keyboard mode), and each time it is put in MIDI
mode with the keyer in pass-through (C0 00) it keys the next screen's script in real time, with
running status, note-offs as note on with velocity 0 and MIDI clock bytes in between, one of
them inside a message: a hand-keyed "PARIS" (keytut-keying, 10 % jitter) as note 0 for the
straight key, then "CQ" as paddle states (keytut-keying --paddle) as note 1 (the dot paddle)
and note 2 (the dash paddle). Keyview's text box must show "PARIS", then " CQ" (the paddle
screen's blank before a word shows with the word's first character); Earkey's every character
must be spoken by real Orca, whole. When each screen closes (Escape; and SIGTERM to Keyview with
the straight-key screen open), the adapter must have been put back into keyboard mode.
"""

import os
import pty
import re
import select
import shutil
import subprocess
import sys
import tempfile
import threading
import time
import tty

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(here, "..", "e2e"))
sys.path.insert(0, here)
import orcalib  # noqa: E402
from orcalib import spoken as norm  # noqa: E402
from check_key_screens import activate, gone, press_send, text_box, text_of, window  # noqa: E402
from orca_key_decode import focus_button  # noqa: E402


# Orca's own line when it silences what it is saying (a key press, a mouse button).
STOP = re.compile(r"^(\d\d):(\d\d):(\d\d\.\d{6}) - DEFAULT: Interrupting presentation", re.M)


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


CTS, DSR = 0x10, 0x20
STRAIGHT_KEY = {CTS: 0}  # the notes of the key lines: note 0, the straight key
PADDLES = {CTS: 1, DSR: 2}  # note 1, the dot paddle; note 2, the dash paddle


class FakeAdapter(threading.Thread):
    """The adapter's end of the pseudo-terminal. Each visit of a screen is given by play()
    before the screen opens; the adapter keys it once the screen has put it in MIDI mode with
    its keyer in pass-through."""

    def __init__(self):
        super().__init__(daemon=True)
        self.master, self.slave = pty.openpty()
        tty.setraw(self.slave)
        self.device = os.ttyname(self.slave)
        self.lock = threading.Lock()
        self.mode_values = []  # every controller 0 value received
        self.programs = []
        self.keyboard_mode = True
        self.running = True
        self.play([], STRAIGHT_KEY)

    def play(self, script, notes, wait=False):
        """The next visit: `script` [(ms, key lines)] keyed as `notes` {line: note}. With `wait`
        the keying starts only once go is set: for Earkey, once Orca has read the opened screen,
        as a learner listens before keying."""
        with self.lock:
            self.script = script
            self.notes = notes
            self.next_event = 0
            self.lines = 0
            self.started = None
            self.running_status = False
            self.lateness = []  # seconds each key change went out after its time
            self.visit_from = (len(self.mode_values), len(self.programs))
            self.sent_all = threading.Event()
            self.go = threading.Event()
            if not wait:
                self.go.set()

    def send(self, data):
        os.write(self.master, bytes(data))

    def read(self, pending):
        try:
            pending += os.read(self.master, 256)
        except OSError:
            return False
        while pending:
            if pending[0] == 0xB0 and len(pending) >= 3:
                value = pending[2]
                self.mode_values.append(value)
                self.keyboard_mode = value > 0x3F
                self.send(pending[:3])  # the echo
                del pending[:3]
            elif pending[0] == 0xC0 and len(pending) >= 2:
                self.programs.append(pending[1])
                del pending[:2]
            elif pending[0] in (0xB0, 0xC0):
                break  # the rest is still to come
            else:
                del pending[:1]
        return True

    def key(self, lines):
        """The notes of the lines that change to `lines`."""
        for line, note in sorted(self.notes.items()):
            if (lines ^ self.lines) & line:
                velocity = 0x7F if lines & line else 0x00
                if not self.running_status:
                    # The first message whole, a clock byte inside it.
                    self.send([0x90, note, 0xF8, velocity])
                    self.running_status = True
                else:
                    self.send([note, velocity])
        self.lines = lines

    def run(self):
        pending = bytearray()
        last_clock = 0.0
        while self.running:
            wait = 0.002
            with self.lock:
                if self.started is not None and self.next_event < len(self.script):
                    due = self.started + self.script[self.next_event][0] / 1000.0
                    wait = min(wait, max(0.0, due - time.monotonic()))
            ready, _, _ = select.select([self.master], [], [], wait)
            with self.lock:
                if ready and not self.read(pending):
                    return
                now = time.monotonic()
                if (self.started is None and not self.keyboard_mode and self.go.is_set()
                        and self.programs[self.visit_from[1]:][-1:] == [0]):
                    self.started = now + 0.5
                if self.started is None or self.keyboard_mode:
                    continue
                if now - last_clock > 0.02:
                    self.send([0xF8])
                    last_clock = now
                while self.next_event < len(self.script):
                    ms, lines = self.script[self.next_event]
                    if now < self.started + ms / 1000.0:
                        break
                    self.lateness.append(now - (self.started + ms / 1000.0))
                    self.key(lines)
                    self.next_event += 1
                if self.next_event == len(self.script):
                    self.sent_all.set()

    def stop(self):
        self.running = False
        self.join(2)
        os.close(self.master)
        os.close(self.slave)


def read_script(path):
    """A key script's changes: [(ms, key lines)]."""
    script = []
    for line in open(path):
        line = line.split("#")[0].split()
        if len(line) == 2:
            lines = 0 if line[1] == "-" else sum(
                {"CTS": CTS, "DSR": DSR}[name] for name in line[1].split("+"))
            script.append((int(line[0]), lines))
    return script


def paddled_on_any_clock(script, wpm):
    """A paddle script made for a key script's port, whose time starts with the keyer's, made
    fit for a learner's hand, whose time does not.

    keytut-keying closes each paddle half a dot before the keyer's check that is to take it,
    counting the checks (a dot and 5 ms apart) from the port's opening. The adapter's keying
    starts at a moment that has nothing to do with that: the keyer's first check after the
    first paddle closes may come up to a check later than the script meant, and a dot paddle
    closed half a dot before its check would then be let go before the keyer looks. So here
    the first paddle of each character is closed a whole check before its check, and every
    other one earlier still, while the keyer is busy with the element before it (5 ms after
    an element of the same paddle before it is let go). Wherever the keyer's checks fall, the
    first paddle of a character is taken by the first check after it closes and let go before
    the next, and each later dot paddle is closed from 25 ms before the earliest check that
    can then take it to 30 ms after the latest (at 20 wpm), also when a character's first
    paddle closed just as a check came and was taken a check early or late."""
    dot = 5 * max(1, round(240 / wpm))
    check = dot + 5
    out = []
    opened = None  # when the last paddle was let go
    for ms, lines in script:
        if lines:
            taken = ms + dot // 2  # the check meant to take it
            first = opened is None or ms - opened > 2.5 * check
            ms = taken - check if first else taken - check - dot // 2 + 5
        else:
            opened = ms
        if out and ms <= out[-1][0]:
            raise RuntimeError("the paddle script %r does not fit" % script)
        out.append((ms, lines))
    return out


def lateness(adapter):
    if not adapter.lateness:
        return "nothing keyed"
    late = sorted(adapter.lateness)
    return "key changes sent %.1f ms late on average, %.1f ms at worst" % (
        sum(late) / len(late) * 1000, late[-1] * 1000)


def check_back_in_keyboard_mode(adapter, edition):
    deadline = time.monotonic() + 5
    while not adapter.keyboard_mode and time.monotonic() < deadline:
        time.sleep(0.05)
    mode_values = adapter.mode_values[adapter.visit_from[0]:]
    programs = adapter.programs[adapter.visit_from[1]:]
    print("%s: controller 0 values received: %s, programs: %s" % (
        edition, " ".join("%02X" % v for v in mode_values),
        " ".join("%02X" % v for v in programs)))
    if mode_values[:1] != [0x00] or programs[:1] != [0x00]:
        fail("%s did not ask MIDI mode and pass-through on opening" % edition)
    if not adapter.keyboard_mode or len(mode_values) < 2:
        fail("%s left the adapter in MIDI mode" % edition)


def settings_file(program, adapter=None):
    """Writes the program's settings file: the character speed 20 for the paddle's "CQ", and
    with `adapter` the key chosen for port 1 on an earlier run, as the Key screen keeps it."""
    conf = os.path.join(os.environ["XDG_CONFIG_HOME"], "keytut", program + ".conf")
    os.makedirs(os.path.dirname(conf), exist_ok=True)
    with open(conf, "w") as f:
        f.write("[speeds]\ncharacter=20\n")
        if adapter:
            f.write("[key]\n1=midi:%s\n" % adapter.device)
    return conf


def keyview_run(build, data, straight, paddle):
    adapter = FakeAdapter()
    adapter.start()
    settings_file("keyview")
    s = orcalib.OrcaSession()
    try:
        proc = s.start_program([os.path.join(build, "keyview", "keyview"), "--no-sound",
                                "--port", "1=midi:" + adapter.device], cwd=data)
        app = s.application(proc, "keyview")
        for which, title, script, notes, shown in (
                (0, "Straight Key Decode", straight, STRAIGHT_KEY, "PARIS"),
                (1, "Paddle Key Decode", paddle, PADDLES, " CQ")):
            adapter.play(script, notes)
            activate(app)
            press_send(app, which)
            win = window(app, title)
            box = text_box(win)
            deadline = time.monotonic() + 30
            while text_of(box) != shown and time.monotonic() < deadline:
                time.sleep(0.2)
            print("Keyview's %s text box: %r (%s)" % (title, text_of(box), lateness(adapter)))
            if text_of(box) != shown:
                fail("Keyview's %s shows %r" % (title, text_of(box)))
            s.key("Escape")
            gone(app, title)
            check_back_in_keyboard_mode(adapter, "Keyview's " + title)
    finally:
        s.stop()
        adapter.stop()


def keyview_sigterm_run(build, data):
    """The program ended by SIGTERM (a logout) with the screen open and the adapter in MIDI
    mode."""
    adapter = FakeAdapter()
    adapter.start()
    s = orcalib.OrcaSession()
    try:
        proc = s.start_program([os.path.join(build, "keyview", "keyview"), "--no-sound",
                                "--reset-settings", "--port", "1=midi:" + adapter.device],
                               cwd=data)
        app = s.application(proc, "keyview")
        activate(app)
        press_send(app, 0)
        window(app, "Straight Key Decode")
        deadline = time.monotonic() + 10
        while adapter.keyboard_mode and time.monotonic() < deadline:
            time.sleep(0.05)
        if adapter.keyboard_mode:
            fail("the screen did not put the adapter into MIDI mode")
        proc.terminate()
        status = proc.wait(10)
        print("Keyview ended by SIGTERM with the screen open: exit status %d" % status)
        check_back_in_keyboard_mode(adapter, "Keyview (SIGTERM)")
    finally:
        s.stop()
        adapter.stop()


def earkey_visit(s, app, adapter, button, title, script, notes, text):
    """Opens Earkey's screen of the main menu's `button`, has the adapter key `text` there and
    closes it; returns each character as Orca spoke it and all Orca said from the opening."""
    adapter.play(script, notes, wait=True)
    focus_button(app, button)
    s.wait_for_speech(lambda t: button in t, timeout=10)
    s.settle(0.3)
    start = s.mark()
    s.key("space")
    s.wait_for_speech(lambda t: "Decoded text" in t, since=start, timeout=10)
    s.settle(0.5)
    adapter.go.set()
    heard = []
    since = start
    try:
        for ch in text:
            # Orca sometimes puts the box's name before a character ("Last character:
            # P"), as when the learner moves there: the character is heard all the same.
            u = s.wait_for_speech(
                lambda t, ch=ch: norm(t) in (ch, "Last character: " + ch), since=since,
                timeout=20)
            heard.append(u)
            since = u.index + 1
    except TimeoutError:
        print("Spoken from opening %s: %r" % (title, s.spoken_since(start)))
        raise
    s.settle(0.5)
    print("Earkey's %s: %s" % (title, lateness(adapter)))
    # Nothing silenced Orca while the adapter keyed, up to the Escape that leaves: each
    # character was spoken whole.
    stops = [int(h) * 3600 + int(m) * 60 + float(sec)
             for h, m, sec in STOP.findall(s.log_text())]
    cut = [t for t in stops if t >= heard[0].stamp - 0.1]
    print("Earkey's %s: Orca interrupted its speech %d times from the first decoded character "
          "to the Escape" % (title, len(cut)))
    if cut:
        fail("Orca's speech was cut off while the MIDI adapter keyed into " + title)
    s.key("Escape")
    deadline = time.monotonic() + 10
    while title in orcalib.window_names(app):
        if time.monotonic() > deadline:
            fail("Escape did not close Earkey's " + title)
        time.sleep(0.1)
    check_back_in_keyboard_mode(adapter, "Earkey's " + title)
    return heard, s.speech()[start:]


def earkey_run(build, data, straight, paddle):
    adapter = FakeAdapter()
    adapter.start()
    conf = settings_file("earkey", adapter)
    visits = []
    with orcalib.OrcaSession() as s:
        s.start_orca()
        proc = s.start_program([os.path.join(build, "earkey", "earkey"), "--no-sound"], cwd=data)
        s.wait_for_speech(lambda t: "E T I M" in t, timeout=20)
        s.settle(0.5)
        app = s.application(proc, "earkey")
        for button, title, script, notes, text in (
                ("Straight Key Send", "Straight Key Decode", straight, STRAIGHT_KEY, "PARIS"),
                ("Paddle Key Send", "Paddle Key Decode", paddle, PADDLES, "CQ")):
            visits.append((title,) + earkey_visit(s, app, adapter, button, title, script, notes,
                                                  text))
    with open(conf) as f:
        if ("1=midi:%s\n" % adapter.device) not in f.read():
            fail("Earkey did not keep the key of port 1")
    adapter.stop()
    for title, heard, everything in visits:
        print("Earkey's %s: each decoded character as Orca spoke it:" % title)
        for u in heard:
            print("  %.3f %r" % (u.stamp, u.text))
        print("Everything Orca said from opening %s to closing it:" % title)
        for u in everything:
            print("  %.3f %r" % (u.stamp, u.text))


def main():
    build, data = sys.argv[1:3]
    keying = os.path.join(build, "tools", "keytut-keying")
    table = os.path.join(data, "KEYTUT.CDE")
    work = tempfile.mkdtemp()
    straight, paddle = os.path.join(work, "paris.txt"), os.path.join(work, "cq.txt")
    subprocess.run([keying, "--code-table", table, "--wpm", "15", "--jitter", "0.1", "--seed",
                    "4", "-o", straight, "PARIS"], check=True)
    subprocess.run([keying, "--code-table", table, "--wpm", "20", "--paddle", "-o", paddle, "CQ"],
                   check=True)
    straight = read_script(straight)
    paddle = paddled_on_any_clock(read_script(paddle), 20)
    shutil.rmtree(work)
    print("The paddles' notes: %s" % " ".join(
        "%d:%s" % (ms, "+".join(str(n) for line, n in PADDLES.items() if lines & line) or "-")
        for ms, lines in paddle))
    keyview_run(build, data, straight, paddle)
    keyview_sigterm_run(build, data)
    earkey_run(build, data, straight, paddle)
    print("PASS")


if __name__ == "__main__":
    try:
        main()
    except SystemExit:
        raise
    except Exception as error:  # noqa: BLE001 - the reason goes to the test log
        print("FAIL: %s" % error)
        sys.exit(1)
