"""Whole-program checks of both main windows over AT-SPI.

Run inside a11y_session.sh (private home, Xvfb, private D-Bus session) with Debian's
/usr/bin/python3 (pyatspi):

    check_main_windows.py BUILD_DIR DATA_DIR CASE

CASE is one of: earkey, keyview, missing-code-table, missing-groups, faulty-code-table-earkey,
faulty-code-table-keyview, huge-word-list.
Each program is started from a copy of the data folder (its working directory), as a learner
would start it, and read back through the accessibility bridge the way a screen reader does.
"""

import os
import shutil
import subprocess
import sys
import tempfile
import time

import pyatspi

EARKEY_TITLE = "Earkey v1.01   Morse Code Practice for White Stick users    by Q Q 0 Q Q"
KEYVIEW_TITLE = "Keyview v1.02     A Morse Code Tutor program for Windows       by QQ0QQ"
EARKEY_LESSONS = ["E T I M ", "A N S ", "O R K ", "D U G ", "W H C ", "L Y F ", "P B V ",
                  "X Q ", "J Z ", "Numbers", "Punctuation"]
# The practice buttons, then the settings' Tone and Key buttons.
EARKEY_PRACTICE = ["30 word test", "Random Q S Ohs", "Type a Message", "Send a File",
                   "Straight Key Send", "Paddle Key Send", "Koch Trainer", "Progress", "Tone",
                   "Key"]
# Mnemonic ampersands are not part of the names.
KEYVIEW_BUTTONS = [str(i) for i in range(1, 12)] + ["Words", "QSOs", "Message", "File",
                                                     "Send", "Send", "Koch", "Progress", "Tone",
                                                     "Key"]


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


def walk(node, depth=0):
    if node is None or depth > 30:
        return
    yield node
    try:
        count = node.childCount
    except Exception:
        return
    for i in range(count):
        try:
            child = node.getChildAtIndex(i)
        except Exception:
            continue
        yield from walk(child, depth + 1)


def find_app(name):
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        try:
            if app is not None and app.name == name:
                return app
        except Exception:
            pass
    return None


def wait_for(predicate, timeout, what):
    deadline = time.time() + timeout
    while time.time() < deadline:
        result = predicate()
        if result:
            return result
        time.sleep(0.2)
    fail("timed out waiting for " + what)


def role_nodes(app, role):
    return [n for n in walk(app) if n.getRole() == role]


def focused(app):
    for node in walk(app):
        try:
            if node.getState().contains(pyatspi.STATE_FOCUSED):
                return node
        except Exception:
            pass
    return None


def windows(app):
    return [n for n in walk(app)
            if n.getRole() in (pyatspi.ROLE_FRAME, pyatspi.ROLE_DIALOG, pyatspi.ROLE_WINDOW)]


def texts(app):
    """Names of labels, and the text of text objects."""
    found = []
    for node in walk(app):
        if node.getRole() in (pyatspi.ROLE_LABEL, pyatspi.ROLE_STATIC, pyatspi.ROLE_TEXT):
            found.append(node.name)
            try:
                t = node.queryText()
                found.append(t.getText(0, -1))
            except Exception:
                pass
    return found


def press_ok(app):
    ok = [b for b in role_nodes(app, pyatspi.ROLE_PUSH_BUTTON) if b.name == "OK"]
    if not ok:
        fail("no OK button in the message box")
    action = ok[0].queryAction()
    for i in range(action.nActions):
        if action.getName(i) in ("Press", "press", "click", "Click"):
            action.doAction(i)
            return
    action.doAction(0)


def start(build, program, folder):
    env = dict(os.environ, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    binary = os.path.join(build, program, program)
    return subprocess.Popen([binary, "--no-sound"], cwd=folder, env=env,
                            stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)


def buttons_of(app):
    return [b.name for b in role_nodes(app, pyatspi.ROLE_PUSH_BUTTON)]


def check_earkey(build, folder):
    proc = start(build, "earkey", folder)
    try:
        app = wait_for(lambda: find_app("earkey"), 20, "earkey on the accessibility bus")
        wait_for(lambda: any(w.name == EARKEY_TITLE for w in windows(app)), 20,
                 "the main menu")
        names = buttons_of(app)
        if names != EARKEY_LESSONS + EARKEY_PRACTICE:
            fail("buttons %r" % names)
        node = wait_for(lambda: focused(app), 10, "a focused control")
        if node.getRole() != pyatspi.ROLE_PUSH_BUTTON or node.name != "E T I M ":
            fail("focus on %s %r" % (node.getRoleName(), node.name))
        for label in ("Character Speed:", "Word Speed:", "Comm Port:"):
            if label not in texts(app):
                fail("no label " + label)
        print("earkey: %d buttons, focus on %r" % (len(names), node.name))
    finally:
        proc.terminate()
        proc.wait(10)


def check_keyview(build, folder):
    proc = start(build, "keyview", folder)
    try:
        app = wait_for(lambda: find_app("keyview"), 20, "keyview on the accessibility bus")
        wait_for(lambda: any(w.name == KEYVIEW_TITLE for w in windows(app)), 20,
                 "the main window")
        names = buttons_of(app)
        if names != KEYVIEW_BUTTONS:
            fail("buttons %r" % names)
        shown = texts(app)
        for label in ("ETIM", "1234567890", "+@!=/.,?", "Send 30 words", "Paddle Key"):
            if label not in shown:
                fail("no label " + label)
        print("keyview: %d buttons" % len(names))
    finally:
        proc.terminate()
        proc.wait(10)


def check_missing_code_table(build, folder):
    os.remove(os.path.join(folder, "KEYTUT.CDE"))
    proc = start(build, "earkey", folder)
    try:
        app = wait_for(lambda: find_app("earkey"), 20, "earkey on the accessibility bus")
        wait_for(lambda: "File KEYTUT.CDE missing" in texts(app), 20, "the missing-file message")
        if any(w.name == EARKEY_TITLE for w in windows(app)):
            fail("the main menu is shown")
        press_ok(app)
        try:
            code = proc.wait(10)
        except subprocess.TimeoutExpired:
            fail("the program did not end after OK")
        print("missing code table: message shown, ended with status %d" % code)
    finally:
        if proc.poll() is None:
            proc.terminate()
            proc.wait(10)


def check_missing_groups(build, folder):
    os.remove(os.path.join(folder, "KEYTUT.GRP"))
    proc = start(build, "earkey", folder)
    try:
        app = wait_for(lambda: find_app("earkey"), 20, "earkey on the accessibility bus")
        wait_for(lambda: "File KEYTUT.GRP missing" in texts(app), 20, "the missing-file message")
        press_ok(app)
        wait_for(lambda: any(w.name == EARKEY_TITLE for w in windows(app)), 20,
                 "the main menu after OK")
        names = buttons_of(app)
        if names != EARKEY_PRACTICE:
            fail("buttons %r" % names)
        print("missing groups: message, then %d practice buttons only" % len(names))
    finally:
        proc.terminate()
        proc.wait(10)


def main_window_shown(app, program):
    title = EARKEY_TITLE if program == "earkey" else KEYVIEW_TITLE
    return any(w.name == title for w in windows(app))


def check_faulty_code_table(build, folder, program):
    """A damaged table: ten boxes one by one, then one that counts the rest, then the program."""
    path = os.path.join(folder, "KEYTUT.CDE")
    with open(path, "rb") as f:
        good = f.read().count(b"\n")
    with open(path, "ab") as f:
        f.write(b"999,.\r\n" * 40)
    proc = start(build, program, folder)
    try:
        app = wait_for(lambda: find_app(program), 20, program + " on the accessibility bus")
        for record in range(good + 1, good + 11):
            message = "Faulty ASCII code on line %d" % record
            wait_for(lambda: message in texts(app), 20, repr(message))
            press_ok(app)
        wait_for(lambda: "30 more faulty lines in KEYTUT.CDE" in texts(app), 20,
                 "the box that counts the rest")
        press_ok(app)
        wait_for(lambda: main_window_shown(app, program), 20, "the main window after 11 boxes")
        if any("Faulty" in t for t in texts(app)):
            fail("another fault box after the count")
        print("faulty code table (%s): 10 boxes, the count of 30 more, the main window"
              % program)
    finally:
        proc.terminate()
        proc.wait(10)


def check_huge_word_list(build, folder):
    os.truncate(os.path.join(folder, "KEYTUT.WRD"), 3_000_000_000)  # sparse: no 3 GB written
    proc = start(build, "earkey", folder)
    try:
        app = wait_for(lambda: find_app("earkey"), 20, "earkey on the accessibility bus")
        message = "File KEYTUT.WRD too large (over 16 MB)"
        wait_for(lambda: message in texts(app), 20, repr(message))
        press_ok(app)
        wait_for(lambda: main_window_shown(app, "earkey"), 20, "the main menu after OK")
        if proc.poll() is not None:
            fail("the program ended with status %d" % proc.returncode)
        print("huge word list: %r, then the main menu" % message)
    finally:
        proc.terminate()
        proc.wait(10)


def main():
    build, data, case = sys.argv[1:4]
    checks = {"earkey": check_earkey, "keyview": check_keyview,
              "missing-code-table": check_missing_code_table,
              "missing-groups": check_missing_groups,
              "faulty-code-table-earkey": lambda b, f: check_faulty_code_table(b, f, "earkey"),
              "faulty-code-table-keyview": lambda b, f: check_faulty_code_table(b, f, "keyview"),
              "huge-word-list": check_huge_word_list}
    if case not in checks:
        fail("unknown case " + case)
    # Bring up the AT-SPI bus and registry before the program looks for them.
    wait_for(lambda: pyatspi.Registry.getDesktop(0) is not None, 10, "the AT-SPI registry")
    time.sleep(0.5)
    with tempfile.TemporaryDirectory(prefix="keytut-data-") as folder:
        for name in os.listdir(data):
            shutil.copy(os.path.join(data, name), folder)
        checks[case](os.path.abspath(build), folder)
    print("PASS")


if __name__ == "__main__":
    main()
