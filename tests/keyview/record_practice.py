#!/usr/bin/python3
"""Keyview's QSO practice and file sending, recorded: the recording, decoded, must say what the
screens' lists show.

Usage, inside tests/e2e/a11y_session.sh:
    record_practice.py KEYVIEW DATA_FOLDER DECODER [SCREENSHOT_FOLDER]

Keyview starts in a copy of the data folder holding a QSO file and a text file, with --record and
the character speed at 30. As a learner: &QSOs, Start, Stop (the run plays to its end), Exit;
&File, the file's name, Start, the end of the file, Exit. The lists are read over AT-SPI; with
SCREENSHOT_FOLDER, each screen is photographed when its sending has ended
(keyview-qso.png, keyview-file.png).
"""

import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
import orcalib  # noqa: E402

QSO = ["+ CQ CQ DE G4XQZ K", "G4XQZ DE M0KVT = UR 5/9 = HW?", "R R TNX 73 ! E E", "AFTER THE END"]
RUN = QSO[:3]  # from the start line to the line holding "!"
FILE = ["VVV DE G4XQZ", "", "TEST 73 = QRU?"]


def key(*keys):
    subprocess.run(["xdotool", "key", "--delay", "30"] + list(keys), check=True)


def refocus_main_window():
    """Xvfb runs no window manager: give the main window the focus back when a screen above it
    closes, as a desktop does."""
    subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--name", "^Keyview v",
                    "windowfocus", "--sync"], check=True, timeout=10)


def list_lines(app, dialog_name):
    """The lines of the list box of the dialog called dialog_name."""
    pyatspi = orcalib._pyatspi()
    for node in walk(app):
        try:
            if node.getRole() == pyatspi.ROLE_DIALOG and node.name == dialog_name:
                for child in walk(node):
                    if child.getRole() == pyatspi.ROLE_LIST:
                        return [child.getChildAtIndex(i).name for i in range(child.childCount)]
        except Exception:
            continue
    return None


def walk(node, depth=0):
    if node is None or depth > 20:
        return
    yield node
    for i in range(node.childCount):
        try:
            yield from walk(node.getChildAtIndex(i), depth + 1)
        except Exception:
            continue


def wait_for_lines(app, dialog, count, timeout):
    deadline = time.monotonic() + timeout
    lines = None
    while time.monotonic() < deadline:
        lines = list_lines(app, dialog)
        if lines is not None and len(lines) >= count:
            return lines
        time.sleep(0.3)
    raise TimeoutError("%s: %r after %.0f s" % (dialog, lines, timeout))


def screenshot(folder, name, title):
    """The window called title, photographed into folder/name."""
    if folder:
        window = subprocess.check_output(
            ["xdotool", "search", "--onlyvisible", "--name", "^%s$" % title], text=True).split()[0]
        subprocess.run(["import", "-window", window, os.path.join(folder, name)], check=True)


def main():
    keyview, data, decoder = sys.argv[1:4]
    shots = os.path.abspath(sys.argv[4]) if len(sys.argv) > 4 else None
    work = tempfile.mkdtemp(prefix="keyview-practice-")
    for name in ("KEYTUT.CDE", "KEYTUT.WRD", "KEYTUT.GRP"):
        shutil.copy(os.path.join(data, name), work)
    with open(os.path.join(work, "MORSE1.TXT"), "w", newline="") as f:
        f.write("".join(line + "\r\n" for line in QSO))
    with open(os.path.join(work, "drill.txt"), "w", newline="") as f:
        f.write("".join(line + "\n" for line in FILE))
    recording = os.path.join(work, "practice.wav")

    with orcalib.OrcaSession() as s:
        s.start_program([keyview, "--record", recording, "--seed", "3"], cwd=work)
        app = orcalib.find_application("keyview", timeout=60)
        orcalib.wait_for_focus(app, timeout=20)
        key("alt+c", "End")
        time.sleep(0.5)

        # QSO practice: one run, then Stop; the run ends at its stop line.
        key("alt+q")
        orcalib.wait_for_focus(app, lambda info: info[1] == "Start", timeout=10)
        key("space", "Tab", "space")  # Start, then Stop
        qso = wait_for_lines(app, "Send QSOs", len(RUN), timeout=90)
        time.sleep(2.0)  # nothing more may follow
        qso = list_lines(app, "Send QSOs")
        screenshot(shots, "keyview-qso.png", "Send QSOs")
        key("Escape")
        time.sleep(0.5)
        refocus_main_window()

        # File sending.
        key("alt+f")
        orcalib.wait_for_focus(app, lambda info: info[0] == "text", timeout=10)
        subprocess.run(["xdotool", "type", "--delay", "30", "drill.txt"], check=True)
        key("Tab", "space")  # Start
        lines = wait_for_lines(app, "Send a File", len(FILE), timeout=90)
        time.sleep(1.0)
        screenshot(shots, "keyview-file.png", "Send a File")
        key("Escape")
        time.sleep(0.5)
        refocus_main_window()
        key("Escape")
        time.sleep(1.0)

    print("QSO list:  %r" % qso)
    print("File list: %r" % lines)
    if qso != RUN:
        raise AssertionError("the QSO list is not the run from its start line to its stop line")
    if lines != [line + " " for line in FILE]:
        raise AssertionError("the file list is not the file's lines, each with its blank")
    decoded = subprocess.check_output(
        [sys.executable, decoder, recording, os.path.join(work, "KEYTUT.CDE"), "--char-wpm",
         "30", "--word-wpm", "12"], text=True).strip()
    shown = " ".join(" ".join(qso + lines).split())
    print("Decoded from the recording: %r" % decoded)
    print("Shown in the lists:         %r" % shown)
    if decoded != shown:
        raise AssertionError("the recording does not say what the lists show")
    shutil.rmtree(work, ignore_errors=True)
    print("PASS")


if __name__ == "__main__":
    try:
        main()
    except Exception as error:  # noqa: BLE001 - the reason goes to the test log
        print("FAIL: %s" % error)
        sys.exit(1)
