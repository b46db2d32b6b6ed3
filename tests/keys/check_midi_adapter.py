#!/usr/bin/python3
"""A MIDI key adapter keying "PARIS" at 15 wpm into both programs' Straight Key Decode screen.

Usage, inside tests/e2e/a11y_session.sh, with Debian's /usr/bin/python3 (pyatspi):
    check_midi_adapter.py BUILD_DIR DATA_DIR

A pseudo-terminal stands in for the adapter's raw-MIDI device node: Keyview is given it with
--port 1=midi:/dev/pts/N; Earkey finds it as the key kept for port 1 (key/1=midi:/dev/pts/N in
its settings file, as the Key screen keeps a choice), with no --port.
At its far end this script plays the adapter: it answers controller 0 with its echo as the
adapter's firmware does (00-3F MIDI mode, 40-7F keyboard mode), and once in MIDI mode with the
keyer in pass-through (C0 00) it keys a hand-keyed "PARIS" (keytut-keying, 10 % jitter) as note 0,
in real time, with running status, note-offs as note on with velocity 0 and MIDI clock bytes in
between, one of them inside a message. Keyview's text box must show "PARIS"; Earkey's every
character must be spoken by real Orca, whole. When each screen closes (Escape; and SIGTERM to
Keyview with the screen open), the adapter must have been put back into keyboard mode.
"""

import os
import pty
import re
import select
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


class FakeAdapter(threading.Thread):
    """The adapter's end of the pseudo-terminal."""

    def __init__(self, script):
        super().__init__(daemon=True)
        self.master, self.slave = pty.openpty()
        tty.setraw(self.slave)
        self.device = os.ttyname(self.slave)
        self.script = script  # [(ms, key down)]
        self.mode_values = []  # every controller 0 value received
        self.programs = []
        self.keyboard_mode = True
        self.started = None
        self.sent_all = threading.Event()
        # Set when the learner would start keying: at once for Keyview, and for Earkey once
        # Orca has read the opened screen, as a learner listens before keying.
        self.go = threading.Event()
        self.go.set()
        self.running = True
        self.lateness = []  # seconds each key change went out after its time

    def send(self, data):
        os.write(self.master, bytes(data))

    def run(self):
        pending = bytearray()
        next_event = 0
        running_status = False
        last_clock = 0.0
        while self.running:
            ready, _, _ = select.select([self.master], [], [], 0.002)
            if ready:
                try:
                    pending += os.read(self.master, 256)
                except OSError:
                    return
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
            now = time.monotonic()
            if (self.started is None and not self.keyboard_mode and self.programs[-1:] == [0]
                    and self.go.is_set()):
                self.started = now + 0.5
                running_status = False
            if self.started is None or self.keyboard_mode:
                continue
            if now - last_clock > 0.02:
                self.send([0xF8])
                last_clock = now
            while next_event < len(self.script):
                ms, down = self.script[next_event]
                if now < self.started + ms / 1000.0:
                    break
                self.lateness.append(now - (self.started + ms / 1000.0))
                data = [0x00, 0x7F if down else 0x00]
                if not running_status:
                    # The first message whole, a clock byte inside it.
                    self.send([0x90, 0x00, 0xF8, 0x7F if down else 0x00])
                    running_status = True
                else:
                    self.send(data)
                next_event += 1
            if next_event == len(self.script):
                self.sent_all.set()

    def stop(self):
        self.running = False
        self.join(2)
        os.close(self.master)
        os.close(self.slave)


def read_script(path):
    script = []
    for line in open(path):
        line = line.split("#")[0].split()
        if len(line) == 2:
            script.append((int(line[0]), line[1] == "CTS"))
    return script


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
    print("%s: controller 0 values received: %s, programs: %s" % (
        edition, " ".join("%02X" % v for v in adapter.mode_values),
        " ".join("%02X" % v for v in adapter.programs)))
    if adapter.mode_values[:1] != [0x00] or adapter.programs[:1] != [0x00]:
        fail("%s did not ask MIDI mode and pass-through on opening" % edition)
    if not adapter.keyboard_mode or len(adapter.mode_values) < 2:
        fail("%s left the adapter in MIDI mode" % edition)


def keyview_run(build, data, script):
    adapter = FakeAdapter(script)
    adapter.start()
    s = orcalib.OrcaSession()
    try:
        proc = s.start_program([os.path.join(build, "keyview", "keyview"), "--no-sound",
                                "--reset-settings", "--port", "1=midi:" + adapter.device],
                               cwd=data)
        app = s.application(proc, "keyview")
        activate(app)
        press_send(app, 0)
        win = window(app, "Straight Key Decode")
        box = text_box(win)
        deadline = time.monotonic() + 30
        while text_of(box) != "PARIS" and time.monotonic() < deadline:
            time.sleep(0.2)
        print("Keyview's text box: %r (%s)" % (text_of(box), lateness(adapter)))
        if text_of(box) != "PARIS":
            fail("Keyview shows %r" % text_of(box))
        s.key("Escape")
        gone(app, "Straight Key Decode")
        check_back_in_keyboard_mode(adapter, "Keyview")
    finally:
        s.stop()
        adapter.stop()


def keyview_sigterm_run(build, data):
    """The program ended by SIGTERM (a logout) with the screen open and the adapter in MIDI
    mode."""
    adapter = FakeAdapter([])
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


def earkey_run(build, data, script):
    adapter = FakeAdapter(script)
    adapter.go.clear()
    adapter.start()
    # The key chosen for port 1 on an earlier run, as the Key screen keeps it.
    conf = os.path.join(os.environ["XDG_CONFIG_HOME"], "keytut", "earkey.conf")
    os.makedirs(os.path.dirname(conf), exist_ok=True)
    with open(conf, "w") as f:
        f.write("[key]\n1=midi:%s\n" % adapter.device)
    with orcalib.OrcaSession() as s:
        s.start_orca()
        proc = s.start_program([os.path.join(build, "earkey", "earkey"), "--no-sound"], cwd=data)
        s.wait_for_speech(lambda t: "E T I M" in t, timeout=20)
        s.settle(0.5)
        app = s.application(proc, "earkey")
        focus_button(app, "Straight Key Send")
        s.wait_for_speech(lambda t: "Straight Key Send" in t, timeout=10)
        s.settle(0.3)
        start = s.mark()
        s.key("space")
        s.wait_for_speech(lambda t: "Decoded text" in t, since=start, timeout=10)
        s.settle(0.5)
        adapter.go.set()
        heard = []
        since = start
        try:
            for ch in "PARIS":
                # Orca sometimes puts the box's name before a character ("Last character:
                # P"), as when the learner moves there: the character is heard all the same.
                u = s.wait_for_speech(
                    lambda t, ch=ch: norm(t) in (ch, "Last character: " + ch), since=since,
                    timeout=20)
                heard.append(u)
                since = u.index + 1
        except TimeoutError:
            print("Spoken from opening the screen: %r" % s.spoken_since(start))
            raise
        s.settle(0.5)
        print("Earkey: %s" % lateness(adapter))
        # Nothing silenced Orca while the adapter keyed, up to the Escape that leaves: each
        # character was spoken whole.
        stops = [int(h) * 3600 + int(m) * 60 + float(sec)
                 for h, m, sec in STOP.findall(s.log_text())]
        cut = [t for t in stops if t >= heard[0].stamp - 0.1]
        print("Earkey: Orca interrupted its speech %d times from the first decoded character "
              "to the Escape" % len(cut))
        if cut:
            fail("Orca's speech was cut off while the MIDI adapter keyed")
        s.key("Escape")
        deadline = time.monotonic() + 10
        while "Straight Key Decode" in orcalib.window_names(app):
            if time.monotonic() > deadline:
                fail("Escape did not close Earkey's screen")
            time.sleep(0.1)
        everything = s.speech()[start:]
        check_back_in_keyboard_mode(adapter, "Earkey")
    with open(conf) as f:
        if ("1=midi:%s\n" % adapter.device) not in f.read():
            fail("Earkey did not keep the key of port 1")
    adapter.stop()
    print("Earkey: each decoded character as Orca spoke it:")
    for u in heard:
        print("  %.3f %r" % (u.stamp, u.text))
    print("Everything Orca said from opening the screen to closing it:")
    for u in everything:
        print("  %.3f %r" % (u.stamp, u.text))


def main():
    build, data = sys.argv[1:3]
    keying = os.path.join(build, "tools", "keytut-keying")
    path = os.path.join(tempfile.mkdtemp(), "paris.txt")
    subprocess.run([keying, "--code-table", os.path.join(data, "KEYTUT.CDE"), "--wpm", "15",
                    "--jitter", "0.1", "--seed", "4", "-o", path, "PARIS"],
                   check=True)
    script = read_script(path)
    keyview_run(build, data, script)
    keyview_sigterm_run(build, data)
    earkey_run(build, data, script)
    print("PASS")


if __name__ == "__main__":
    try:
        main()
    except SystemExit:
        raise
    except Exception as error:  # noqa: BLE001 - the reason goes to the test log
        print("FAIL: %s" % error)
        sys.exit(1)
