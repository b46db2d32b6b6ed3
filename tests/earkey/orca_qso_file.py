#!/usr/bin/python3
"""Earkey's QSO practice and file sending listened to by a real screen reader (Orca), and the
sound they made read back from the recording.

Usage, inside tests/e2e/a11y_session.sh:
    orca_qso_file.py EARKEY DATA_FOLDER DECODER

Earkey starts in a copy of the data folder holding a QSO file of one short QSO and a text file,
with --record, both speeds at 30. As a learner: Random Q S Ohs, Return, the QSO's end, Ctrl+Down
through its lines (the prosigns must be spoken as letters), Escape; Send a File, the file's name,
Return, the end of the file (the focus moves to the list), Down through the lines, Escape.
Orca's speech must hold every line read back; the recording, decoded with DECODER, must hold the
QSO and the file exactly as the screens showed them.
"""

import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
import orcalib  # noqa: E402

QSO = ["+ CQ DE G4XQZ K", "G4XQZ DE M0KVT 5/9 = @"]
QSO_SPOKEN = ["C T CQ DE G4XQZ K", "G4XQZ DE M0KVT 5 slash 9 B T A R"]
FILE = ["VVV DE G4XQZ", "TEST 73"]


def norm(text):
    return orcalib.spoken(text, roles=("label", "list item", "list"))


def display(text):
    for sign, spoken in (("+", " C T "), ("@", " A R "), ("!", " V A "), ("=", " B T "),
                         ("/", " slash ")):
        text = text.replace(sign, spoken)
    return " ".join(text.split())


def refocus_main_menu():
    """Xvfb runs no window manager: nothing gives the main menu the input focus back when a
    screen above it closes, as a desktop does. Give it the focus as a window manager would."""
    subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--name", "^Earkey v",
                    "windowfocus", "--sync"], check=True, timeout=10)


def tab_to(session, app, name, limit=40):
    for _ in range(limit):
        if orcalib.wait_for_focus(app)[1] == name:
            return
        session.key("Tab")
        time.sleep(0.1)
    raise RuntimeError("no control named %r reached with Tab" % name)


def main():
    earkey, data, decoder = sys.argv[1:4]
    work = tempfile.mkdtemp(prefix="earkey-practice-")
    for name in ("KEYTUT.CDE", "KEYTUT.WRD", "KEYTUT.GRP"):
        shutil.copy(os.path.join(data, name), work)
    with open(os.path.join(work, "MORSE1.TXT"), "w", newline="") as f:
        f.write("".join(line + "\r\n" for line in QSO))
    with open(os.path.join(work, "drill.txt"), "w", newline="") as f:
        f.write("".join(line + "\n" for line in FILE))
    recording = os.path.join(work, "practice.wav")

    with orcalib.OrcaSession() as s:
        s.start_orca()
        s.start_program([earkey, "--record", recording, "--seed", "1"], cwd=work)
        app = orcalib.find_application("earkey", timeout=60)
        s.wait_for_speech(lambda t: "E T I M" in t, timeout=20)
        s.settle(0.5)
        s.key("alt+c")
        s.key("End")
        s.key("alt+s")
        s.key("End")
        s.settle(0.5)
        start = s.mark()

        # QSO practice.
        tab_to(s, app, "Random Q S Ohs")
        listen = orcalib.Listener(s, norm)
        s.key("space")
        listen.expect("MORSE1.TXT", timeout=10)
        s.settle(0.5)
        s.key("Return")
        # The QSO's end: the focus on the emptied line box, which says its name.
        orcalib.wait_for_focus(app, lambda info: info[0] == "label" and
                               info[1] == "Q S O line", timeout=60)
        s.settle(0.5)
        for line in QSO_SPOKEN:
            s.key("ctrl+Down")
            listen.expect(line)
        s.key("ctrl+Up")
        listen.expect(QSO_SPOKEN[0])
        s.settle(0.3)
        s.key("Escape")
        s.settle(0.5)
        refocus_main_menu()

        # File sending.
        tab_to(s, app, "Send a File")
        s.key("space")
        orcalib.wait_for_focus(app, lambda info: info[0] == "text", timeout=10)
        s.settle(0.5)
        s.type_text("drill.txt")
        s.key("Return")
        listen.mark = s.mark()
        listen.expect(FILE[0] + " ", timeout=60)
        s.settle(0.3)
        s.key("Down")
        listen.expect(FILE[1] + " ")
        s.settle(0.3)
        s.key("Escape")
        s.settle(0.5)
        everything = s.speech()[start:]
        refocus_main_menu()
        s.key("Escape")  # the end of the program writes the recording's last samples
        time.sleep(1.0)

    print("Expected and heard, in order:")
    for text, u in listen.heard:
        print("  %-36r <- %.3f %r" % (norm(text), u.stamp, u.text))
    print("Everything Orca said from the QSO practice on:")
    for u in everything:
        print("  %.3f %r" % (u.stamp, u.text))

    decoded = subprocess.check_output(
        [sys.executable, decoder, recording, os.path.join(work, "KEYTUT.CDE"), "--char-wpm",
         "30", "--word-wpm", "30"], text=True).strip()
    shown = " ".join(QSO_SPOKEN) + " " + " ".join(FILE)
    print("Decoded from the recording: %r" % decoded)
    print("Shown on the screens:       %r" % shown)
    if display(decoded) != shown:
        raise AssertionError("the recording does not say what the screens showed")
    shutil.rmtree(work, ignore_errors=True)
    print("PASS")


if __name__ == "__main__":
    try:
        main()
    except Exception as error:  # noqa: BLE001 - the reason goes to the test log
        print("FAIL: %s" % error)
        sys.exit(1)
