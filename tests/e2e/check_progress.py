"""Both programs keep the learner's answers: the Koch trainer driven from the keyboard as a
learner does, then the progress file read back.

Run inside a11y_session.sh (private home, Xvfb, D-Bus) with Debian's /usr/bin/python3:
    check_progress.py EARKEY KEYVIEW DATA_DIR KEYTUT_PROGRESS

- Each edition: three groups copied (Return, "km", Return); keytut-progress csv then holds the
  fifteen answers, each character sent as the screen reported it (Keyview's list, Earkey's result
  box) and each judged as typed.
- SIGKILL in the middle of a session: the file passes PRAGMA integrity_check and holds every
  answer judged before the kill.
- Both editions open on one file at once: Earkey copies groups, Keyview starts and copies
  groups, Earkey ends (closing its session in the file) and Keyview copies another: every
  answer of both is kept, in that order, and neither tells of a fault.
- A damaged file: Keyview tells once that nothing is kept, the trainer goes on, and the file is
  left byte for byte as it was.
"""

import csv
import io
import os
import re
import sqlite3
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import orcalib  # noqa: E402

failures = []
# The Koch Trainer button after the lesson and practice buttons of Earkey's main menu.
EARKEY_TABS_TO_KOCH = 11 + 6


def check(what, ok, detail=""):
    print("%s %-60s %s" % ("ok  " if ok else "FAIL", what, detail))
    if not ok:
        failures.append("%s %s" % (what, detail))


def start(program, data, progress_file):
    env = dict(os.environ, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    proc = subprocess.Popen([program, "--no-sound", "--data", data, "--progress", progress_file],
                            cwd="/", env=env, stdin=subprocess.DEVNULL,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    app = orcalib.find_application(pid=proc.pid, timeout=20)
    orcalib.wait_for_focus(app, timeout=20)
    return proc, app


def window_of(proc, title):
    out = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(proc.pid), "--name",
                          "^%s$" % title], capture_output=True, text=True).stdout.split()
    return out[-1] if out else None


def key(*keys):
    time.sleep(0.25)
    orcalib.OrcaSession.key(*keys)


def open_koch(app, earkey):
    if earkey:
        key(*(["Tab"] * EARKEY_TABS_TO_KOCH), "Return")
    else:
        key("alt+o")
    return orcalib.wait_for_focus(app, lambda info: info[0] == "text" and info[1] == "Copy:",
                                  timeout=10)


def copy_group(typed="km"):
    key("Return")  # the group is sent
    time.sleep(0.3)
    orcalib.OrcaSession.type_text(typed)
    key("Return")  # and judged
    time.sleep(0.4)


def results(app, earkey):
    """What the screen reported of each group judged: "n of 5. Sent K M ..., you typed ..."."""
    found = []
    for node in orcalib.nodes(app):
        try:
            role, name, _ = orcalib.describe(node)
        except Exception:
            continue
        if " of 5. Sent " in name and (role == "list item" or earkey):
            found.append(name)
    # Earkey's result box is two labels of the same text.
    return found[:1] if earkey else found


def sent_of(result):
    match = re.search(r"Sent (.*?), you typed", result)
    return match.group(1).replace(" ", "") if match else ""


def csv_answers(tool, progress_file):
    out = subprocess.run([tool, "--progress", progress_file, "csv"], capture_output=True,
                         text=True)
    return list(csv.DictReader(io.StringIO(out.stdout))), out.returncode


def count_answers(progress_file):
    db = sqlite3.connect(progress_file)
    try:
        return db.execute("PRAGMA integrity_check").fetchone()[0], \
            db.execute("SELECT count(*) FROM answers").fetchone()[0]
    finally:
        db.close()


def one_edition(program, data, tool, folder, earkey):
    name = "earkey" if earkey else "keyview"
    progress_file = os.path.join(folder, name + ".sqlite3")
    proc, app = start(program, data, progress_file)
    try:
        open_koch(app, earkey)
        for _ in range(3):
            copy_group()
        reported = results(app, earkey)
        key("Escape")  # the session ends early; the three groups are kept
        time.sleep(0.5)
        key("Escape")
        proc.wait(timeout=10)
    finally:
        if proc.poll() is None:
            proc.kill()
    rows, status = csv_answers(tool, progress_file)
    check(name + ": keytut-progress csv", status == 0 and len(rows) == 15,
          "%d answers" % len(rows))
    sent = "".join(r["sent"] for r in rows)
    groups = [sent[i:i + 5] for i in range(0, len(sent), 5)]
    # Keyview lists every group (the bus gives them in no set order); Earkey's result box holds
    # the last one.
    shown = [sent_of(r) for r in reported]
    ok = sorted(shown) == sorted(groups) if not earkey else shown == groups[-1:]
    check(name + ": the answers are the groups the screen reported", ok,
          "%s / %s" % (groups, reported))
    check(name + ": each answer of the edition's Koch trainer",
          all(r["edition"] == name and r["exercise"] == "koch" for r in rows))
    # "km" typed: the first characters answered K and M, aligned with what was sent.
    answered = [r["answered"] for r in rows]
    check(name + ": judged as typed", answered.count("K") + answered.count("M") == 6 and
          answered.count("") == 9, str(answered))


def killed(program, data, folder):
    progress_file = os.path.join(folder, "killed.sqlite3")
    proc, app = start(program, data, progress_file)
    open_koch(app, False)
    for _ in range(4):
        copy_group()
    key("Return")  # a fifth group sounding, half typed, when the program is killed
    orcalib.OrcaSession.type_text("k")
    time.sleep(0.2)
    proc.kill()
    proc.wait(timeout=10)
    integrity, answers = count_answers(progress_file)
    check("SIGKILL: PRAGMA integrity_check", integrity == "ok", integrity)
    check("SIGKILL: every answer judged before the kill kept", answers == 20, str(answers))


def both_at_once(earkey, keyview, data, tool, folder):
    """Earkey's session stays open (and its file) while Keyview starts on the same file and
    writes, then Earkey writes again."""
    progress_file = os.path.join(folder, "shared.sqlite3")
    e_proc, e_app = start(earkey, data, progress_file)
    k_proc = None
    try:
        open_koch(e_app, True)
        for _ in range(2):
            copy_group()
        # The newest window takes the focus.
        k_proc, k_app = start(keyview, data, progress_file)
        open_koch(k_app, False)
        for _ in range(2):
            copy_group()
        told = orcalib.alerts(e_app) + orcalib.alerts(k_app)
        check("both at once: no fault told", not told, str(told))
        # SIGTERM ends Earkey as its close box does: its session is closed in the file while
        # Keyview still has it open.
        e_proc.terminate()
        e_proc.wait(timeout=10)
        copy_group()
    finally:
        for proc in (e_proc, k_proc):
            if proc and proc.poll() is None:
                proc.kill()
                proc.wait(timeout=10)
    rows, _ = csv_answers(tool, progress_file)
    order = "".join(r["edition"][0] for r in rows[::5])
    check("both at once: every answer of both kept, in turn", order == "eekkk", order)
    db = sqlite3.connect(progress_file)
    ended = dict(db.execute("SELECT edition, ended FROM sessions"))
    last_keyview = db.execute("SELECT max(time) FROM answers").fetchone()[0]
    db.close()
    check("both at once: Earkey's session closed between Keyview's answers",
          ended.get("earkey") is not None and ended["earkey"] < last_keyview, str(ended))


def damaged(program, data, folder):
    progress_file = os.path.join(folder, "damaged.sqlite3")
    damage = b"\x5a" * 8192
    with open(progress_file, "wb") as f:
        f.write(damage)
    proc, app = start(program, data, progress_file)
    try:
        open_koch(app, False)
        key("Return")
        told = orcalib.wait_alert(app, 10)
        check("damaged: told once", told is not None and "Progress is not being kept" in told,
              str(told))
        key("Return")  # the message box goes
        time.sleep(0.5)
        orcalib.OrcaSession.type_text("km")
        key("Return")
        copy_group()
        time.sleep(0.5)
        check("damaged: the trainer went on, nothing told again",
              len(results(app, False)) == 2 and not orcalib.alerts(app),
              str(results(app, False)))
    finally:
        proc.kill()
        proc.wait(timeout=10)
    with open(progress_file, "rb") as f:
        check("damaged: the file left as it was", f.read() == damage)


def main():
    earkey, keyview, data, tool = sys.argv[1:5]
    with tempfile.TemporaryDirectory() as folder:
        one_edition(earkey, data, tool, folder, True)
        one_edition(keyview, data, tool, folder, False)
        killed(keyview, data, folder)
        both_at_once(earkey, keyview, data, tool, folder)
        damaged(keyview, data, folder)
    return orcalib.finish(failures)


if __name__ == "__main__":
    sys.exit(main())
