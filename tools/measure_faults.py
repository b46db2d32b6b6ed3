#!/usr/bin/python3
"""The figures of the hostile-user faults: times, peak memory and exit statuses of both programs
when their settings file, key scripts, files, ports and signals are hostile or unlucky.

Run by measure-faults.sh (Xvfb, a private D-Bus and home); with Debian's /usr/bin/python3:
    measure_faults.py EARKEY KEYVIEW KEYTUT_KEYING DATA_DIR [PROBE...]

Each probe prints what it measured, one line per figure; with no PROBE every probe runs. The
probes use their own configuration folder each, so the settings of one never reach another.
"""

import os
import pty
import re
import signal
import subprocess
import sys
import tempfile
import time
import wave

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "keys"))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "e2e"))
import check_key_screens as ui  # noqa: E402
import orcalib  # noqa: E402
import pyatspi  # noqa: E402

EARKEY = KEYVIEW = KEYING = DATA = None
WORK = tempfile.mkdtemp(prefix="keytut-faults-")


def say(probe, what, value):
    print("%-22s %-58s %s" % (probe, what, value), flush=True)


class Run:
    """One program run: its own configuration folder, optionally under /usr/bin/time -v."""

    def __init__(self, program, args=(), config=None, timed=False, cwd=None, limit_mb=0):
        self.name = os.path.basename(program)
        self.config = config or tempfile.mkdtemp(dir=WORK, prefix="config-")
        self.timefile = os.path.join(WORK, "time-%d" % time.monotonic_ns()) if timed else None
        self.errfile = os.path.join(WORK, "err-%d" % time.monotonic_ns())
        env = dict(os.environ, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                   XDG_CONFIG_HOME=self.config)
        argv = [program] + list(args)
        if limit_mb:
            argv = ["prlimit", "--as=%d" % (limit_mb << 20)] + argv
        if timed:
            argv = ["/usr/bin/time", "-v", "-o", self.timefile] + argv
        self.err = open(self.errfile, "w")
        self.started = time.monotonic()
        self.proc = subprocess.Popen(argv, cwd=cwd or DATA, env=env, stdin=subprocess.DEVNULL,
                                     stdout=subprocess.DEVNULL, stderr=self.err)
        self.pid = self.proc.pid
        if timed:
            self.pid = self._child()

    def _child(self):
        for _ in range(200):
            try:
                with open("/proc/%d/task/%d/children" % (self.proc.pid, self.proc.pid)) as f:
                    kids = f.read().split()
                if kids:
                    return int(kids[0])
            except OSError:
                pass
            time.sleep(0.01)
        return self.proc.pid

    def app(self, timeout=60):
        try:
            return orcalib.find_application(pid=self.pid, timeout=timeout,
                                            alive=lambda: self.proc.poll() is None)
        except TimeoutError:
            return None

    def wait(self, timeout):
        """The exit status, or None while the program still runs after `timeout` s."""
        try:
            return self.proc.wait(timeout)
        except subprocess.TimeoutExpired:
            return None

    def signal(self, sig):
        try:
            os.kill(self.pid, sig)
        except ProcessLookupError:
            pass

    def kill(self):
        self.signal(signal.SIGKILL)
        self.proc.wait()

    def peak_mb(self):
        if not self.timefile or not os.path.exists(self.timefile):
            return None
        with open(self.timefile) as f:
            m = re.search(r"Maximum resident set size \(kbytes\): (\d+)", f.read())
        return int(m.group(1)) / 1024 if m else None

    def stderr(self):
        self.err.flush()
        with open(self.errfile) as f:
            return f.read()


def shell_status(status):
    """An exit status as the shell shows it (128 + N for signal N)."""
    if isinstance(status, int) and status < 0:
        return 128 - status
    return status


def conf_file(run):
    return os.path.join(run.config, "keytut", run.name + ".conf")


def visible(title_regex):
    out = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", title_regex],
                         capture_output=True, text=True).stdout.split()
    return out


def wait_visible(title_regex, present=True, timeout=60.0):
    """Seconds until a window whose title matches is shown (or gone); None on time-out."""
    t0 = time.monotonic()
    while time.monotonic() - t0 < timeout:
        if bool(visible(title_regex)) == present:
            return time.monotonic() - t0
        time.sleep(0.01)
    return None


def wait_alert(app, timeout):
    return orcalib.wait_alert(app, timeout)


def dismiss():
    orcalib.OrcaSession.key("Return")
    time.sleep(0.3)


def button(app, name, index=0):
    found = [n for n in ui.nodes(app) if n.getRole() == pyatspi.ROLE_PUSH_BUTTON and n.name == name]
    found.sort(key=lambda n: n.queryComponent().getExtents(pyatspi.DESKTOP_COORDS).y)
    return found[index]


def press(app, name, index=0):
    button(app, name, index).queryComponent().grabFocus()
    time.sleep(0.3)
    orcalib.OrcaSession.key("space")


def open_exercise(run, app, keyview_keys, earkey_button):
    """Keyview's exercise by its mnemonic, Earkey's by its button."""
    if run.name == "keyview":
        ui.activate(app)
        orcalib.OrcaSession.key(keyview_keys)
    else:
        press(app, earkey_button)


def open_straight_key(run, app):
    if run.name == "keyview":
        ui.activate(app)
        press(app, "Send", 0)
    else:
        press(app, "Straight Key Send")


# -- the probes ----------------------------------------------------------------------------

def probe_settings_fifo():
    for program in (EARKEY, KEYVIEW):
        config = tempfile.mkdtemp(dir=WORK)
        name = os.path.basename(program)
        os.makedirs(os.path.join(config, "keytut"))
        os.mkfifo(os.path.join(config, "keytut", name + ".conf"))
        run = Run(program, ["--no-sound"], config=config)
        app = run.app()
        say("1 settings FIFO", name + ": main window shown", "yes" if app else "NO")
        ui.activate(app)
        t0 = time.monotonic()
        orcalib.OrcaSession.key("Escape")
        status = run.wait(10)
        if status is not None:
            say("1 settings FIFO", name + ": Escape ends it", "in %.2f s, status %d" %
                (time.monotonic() - t0, status))
            continue
        say("1 settings FIFO", name + ": Escape ends it", "NO, still running after 10 s")
        run.signal(signal.SIGTERM)
        status = run.wait(5)
        say("1 settings FIFO", name + ": first SIGTERM", "ignored (still running after 5 s)"
            if status is None else "ends it, status %d" % status)
        if status is None:
            run.kill()


def probe_settings_large():
    config = tempfile.mkdtemp(dir=WORK)
    os.makedirs(os.path.join(config, "keytut"))
    path = os.path.join(config, "keytut", "keyview.conf")
    with open(path, "w") as f:
        f.write("[speeds]\ncharacter=15\nword=12\n[port]\nnumber=3\n[many]\n")
        for j in range(100):
            f.write("".join("k%08d=1\n" % i for i in range(j * 100000, (j + 1) * 100000)))
    size = os.path.getsize(path)
    run = Run(KEYVIEW, ["--no-sound"], config=config, timed=True)
    app = run.app(timeout=120)
    shown = time.monotonic() - run.started
    say("1 settings 100 MB", "file size", "%.1f MB, ten million keys" % (size / 1e6))
    say("1 settings 100 MB", "start to main window on the bus", "%.2f s" % shown)
    ui.activate(app)
    t0 = time.monotonic()
    orcalib.OrcaSession.key("Escape")
    status = run.wait(120)
    say("1 settings 100 MB", "Escape to exit", "%.2f s, status %s" % (time.monotonic() - t0, status))
    say("1 settings 100 MB", "whole run", "%.2f s" % (time.monotonic() - run.started))
    say("1 settings 100 MB", "peak memory", "%.0f MB" % run.peak_mb())


def key_screen_case(program, script, probe, what):
    run = Run(program, ["--no-sound", "--port", "1=sim:" + script], timed=True)
    app = run.app()
    t0 = time.monotonic()
    open_straight_key(run, app)
    title = "^Straight Key Decode$"
    opened = wait_visible(title, timeout=30)
    box = wait_alert(app, 1.0) if opened is None else None
    if opened is not None:
        say(probe, what + ": screen shown", "after %.2f s" % (time.monotonic() - t0))
    else:
        say(probe, what + ": message", repr(box) if box else "none")
    if box:
        dismiss()
    if opened is not None:
        time.sleep(0.5)
        t1 = time.monotonic()
        orcalib.OrcaSession.key("Escape")
        gone = wait_visible(title, present=False, timeout=5)
        say(probe, what + ": Escape closes the screen",
            "in %.2f s" % (time.monotonic() - t1) if gone is not None else "NO (5 s)")
    run.signal(signal.SIGTERM)
    status = run.wait(5)
    if status is None:
        say(probe, what + ": SIGTERM", "ignored (still running after 5 s)")
        run.kill()
        status = run.proc.returncode
    else:
        say(probe, what + ": SIGTERM", "ends it")
    say(probe, what + ": exit status", "%s" % shell_status(status))
    mb = run.peak_mb()
    if mb:
        say(probe, what + ": peak memory", "%.0f MB" % mb)
    tail = run.stderr().strip().splitlines()[-1:] or ["(none)"]
    say(probe, what + ": last stderr line", tail[0][:100])


def probe_key_script_fifo():
    fifo = os.path.join(WORK, "key-fifo")
    os.mkfifo(fifo)
    key_screen_case(KEYVIEW, fifo, "2 key script FIFO", "keyview")


def peak_now_mb(pid):
    try:
        with open("/proc/%d/status" % pid) as f:
            return int(re.search(r"VmHWM:\s+(\d+)", f.read()).group(1)) / 1024
    except (OSError, AttributeError):
        return 0


def probe_key_script_zero():
    # Under a 4 GB address-space limit, as on a smaller machine; KEYTUT_PROBE_AS_MB=0 for none.
    limit = int(os.environ.get("KEYTUT_PROBE_AS_MB", "4096"))
    say("2 key script /dev/zero", "address space limit", "%d MB" % limit if limit else "none")
    run = Run(KEYVIEW, ["--no-sound", "--port", "1=sim:/dev/zero"], timed=True,
              limit_mb=limit)
    app = run.app()
    t0 = time.monotonic()
    open_straight_key(run, app)
    got = wait_alert(app, 3.0)
    if got:
        say("2 key script /dev/zero", "message", repr(got))
        dismiss()
    peak = 0
    status = None
    # Reading /dev/zero to the end of memory takes minutes; a refusal leaves the program be.
    while status is None and time.monotonic() - t0 < (10 if got else 300):
        peak = max(peak, peak_now_mb(run.pid))
        status = run.wait(0.5)
    if status is None:
        say("2 key script /dev/zero", "still running after", "%.0f s" % (time.monotonic() - t0))
        run.signal(signal.SIGTERM)
        status = run.wait(10)
        if status is None:
            run.kill()
            status = "killed"
    say("2 key script /dev/zero", "exit status", "%s (%.1f s after Send)" %
        (shell_status(status), time.monotonic() - t0))
    say("2 key script /dev/zero", "peak memory", "%.0f MB" % max(peak, run.peak_mb() or 0))
    tail = run.stderr().strip().splitlines()[-1:] or ["(none)"]
    say("2 key script /dev/zero", "last stderr line", tail[0][:100])


def probe_key_script_large():
    path = os.path.join(WORK, "key-600mb.txt")
    with open(path, "wb") as f:
        chunk = b" " * ((1 << 20) - 1) + b"\n"  # blank lines of a megabyte
        for _ in range(600):
            f.write(chunk)
    key_screen_case(KEYVIEW, path, "2 key script 600 MB", "keyview")
    os.remove(path)


def probe_sighup():
    record = os.path.join(WORK, "hup.wav")
    run = Run(EARKEY, ["--record", record, "--seed", "1"])
    app = run.app()
    ui.activate(app)
    set_speed_down()  # 15
    press(app, "30 word test")
    time.sleep(0.7)
    orcalib.OrcaSession.key("Return")
    time.sleep(2.5)
    run.signal(signal.SIGHUP)
    status = run.wait(10)
    say("3 SIGHUP", "exit status", "%s" % shell_status(status))
    if status is None:
        run.kill()
    try:
        with open(conf_file(run)) as f:
            kept = f.read()
    except OSError:
        kept = "(no file)"
    say("3 SIGHUP", "character speed 15 kept", "yes" if "character=15" in kept else
        "no: %r" % kept[:80])
    size = os.path.getsize(record)
    with wave.open(record) as w:
        frames = w.getnframes()
    written = (size - 44) // 2
    say("3 SIGHUP", "recording: header / written", "%.2f s / %.2f s" % (frames / 8000,
                                                                     written / 8000))


def set_speed_down(times=1):
    orcalib.OrcaSession.key("alt+c")
    time.sleep(0.3)
    for _ in range(times):
        orcalib.OrcaSession.key("Down")
        time.sleep(0.2)


def set_port_text(text):
    orcalib.OrcaSession.key("alt+p")
    time.sleep(0.3)
    orcalib.OrcaSession.key("ctrl+a", "BackSpace")
    orcalib.OrcaSession.type_text(text)
    time.sleep(0.3)


def probe_two_programs():
    config = tempfile.mkdtemp(dir=WORK)
    first = Run(EARKEY, ["--no-sound"], config=config)
    a = first.app()
    ui.activate(a)
    set_speed_down()  # 15
    second = Run(EARKEY, ["--no-sound"], config=config)
    b = second.app()
    first.signal(signal.SIGTERM)
    say("4 two programs", "first quits (SIGTERM)", "status %s" % first.wait(10))
    ui.activate(b)
    set_port_text("4")
    orcalib.OrcaSession.key("Escape")
    say("4 two programs", "second quits", "status %s" % second.wait(10))
    with open(os.path.join(config, "keytut", "earkey.conf")) as f:
        kept = f.read()
    say("4 two programs", "first's character speed 15 kept", "yes" if "character=15" in kept
        else "NO")
    say("4 two programs", "second's port 4 kept", "yes" if "number=4" in kept else "NO")


def probe_return_on_straight_key():
    script = os.path.join(WORK, "paris.txt")
    subprocess.run([KEYING, "--code-table", os.path.join(DATA, "KEYTUT.CDE"), "--wpm", "20",
                    "-o", script, "PARIS"], check=True)
    for program in (KEYVIEW, EARKEY):
        run = Run(program, ["--no-sound", "--port", "1=sim:" + script])
        app = run.app()
        open_straight_key(run, app)
        win = ui.window(app, "Straight Key Decode")
        box = ui.text_box(win)
        deadline = time.monotonic() + 20
        while "PARIS" not in ui.text_of(box) and time.monotonic() < deadline:
            time.sleep(0.2)
        before = ui.text_of(box)
        orcalib.OrcaSession.key("Return")
        got = wait_alert(app, 2.0)
        if got:
            dismiss()
        after = ui.text_of(box)
        say("5 Return, straight key", run.name + ": box before / Return / box after",
            "%r / %s / %r" % (before, "box %r" % got if got else "nothing", after))
        run.kill()


def probe_lesson_escape():
    for program, key, presses in ((EARKEY, "space", 20), (EARKEY, "space", 60),
                                  (KEYVIEW, "e", 20)):
        run = Run(program, ["--no-sound"])
        app = run.app()
        if run.name == "keyview":
            ui.activate(app)
            press(app, "1")
        else:
            time.sleep(1.0)
            orcalib.OrcaSession.key("Return")  # the first lesson button has the focus
        if wait_visible("^Lesson 1", timeout=10) is None:
            say("6 lesson Escape", run.name, "lesson did not open")
            run.kill()
            continue
        time.sleep(1.0)
        orcalib.OrcaSession.key(*([key] * presses), delay_ms=100)
        t0 = time.monotonic()
        orcalib.OrcaSession.key("Escape")
        gone = wait_visible("^Lesson 1", present=False, timeout=60)
        say("6 lesson Escape", "%s: %d x %s, then Escape closes the lesson" %
            (run.name, presses, key), "in %.2f s" % gone if gone is not None else "NO (60 s)")
        run.kill()


def data_copy_with(name, writer):
    folder = tempfile.mkdtemp(dir=WORK, prefix="data-")
    for entry in os.listdir(DATA):
        os.symlink(os.path.join(DATA, entry), os.path.join(folder, entry))
    with open(os.path.join(folder, name), "wb") as f:
        writer(f)
    return folder


def probe_qso_large():
    def big(f):
        line = b"+ CQ CQ DE G4XQZ G4XQZ K " * 40
        for _ in range(50 * (1 << 20) // len(line)):
            f.write(line)
    folder = data_copy_with("MORSE0.TXT", big)
    for program in (KEYVIEW, EARKEY):
        run = Run(program, ["--no-sound"], cwd=folder)
        app = run.app()
        open_exercise(run, app, "alt+q", "Random Q S Ohs")
        t0 = time.monotonic()
        got = wait_alert(app, 5.0) if run.name == "keyview" else None
        if run.name == "earkey":
            time.sleep(3)
            boxes = [ui.text_of(n) for n in ui.nodes(app) if n.getRole() == pyatspi.ROLE_LABEL]
            got = next((t for t in boxes if "MORSE0" in t), None)
        say("7 QSO file 50 MB", run.name + ": on opening MORSE0.TXT",
            "message %r" % got if got else "no message (%.1f s)" % (time.monotonic() - t0))
        run.kill()


def probe_settings_unsaved():
    for program in (EARKEY, KEYVIEW):
        config = tempfile.mkdtemp(dir=WORK)
        with open(os.path.join(config, "keytut"), "w") as f:
            f.write("a file where the folder should be\n")
        run = Run(program, ["--no-sound"], config=config)
        app = run.app()
        ui.activate(app)
        set_speed_down()
        seen = wait_alert(app, 2.0)
        if seen:
            dismiss()
        set_speed_down()
        again = wait_alert(app, 2.0)
        if again:
            dismiss()
        ui.activate(app)
        orcalib.OrcaSession.key("Escape")
        status = run.wait(10)
        if status is None:
            late = wait_alert(app, 1.0)
            seen = seen or late
            dismiss()
            status = run.wait(10)
        say("8 settings not saved", run.name + ": notice in the window",
            repr(seen) if seen else "none")
        say("8 settings not saved", run.name + ": a second notice", repr(again) if again else
            "none")
        say("8 settings not saved", run.name + ": stderr", repr(run.stderr().strip()[:100]))
        if status is None:
            run.kill()


def probe_not_a_port():
    master, slave = pty.openpty()
    device = os.ttyname(slave)
    os.close(slave)  # nobody holds the terminal end
    folder = tempfile.mkdtemp(dir=WORK)
    for what, port in (("pseudo-terminal " + device, device), ("sim: a folder", "sim:" + folder)):
        run = Run(KEYVIEW, ["--no-sound", "--port", "1=" + port])
        app = run.app()
        open_straight_key(run, app)
        got = wait_alert(app, 3.0)
        shown = bool(visible("^Straight Key Decode$"))
        say("9 not a serial port", what, "message %r" % got if got else
            ("empty decode screen, no message" if shown else "nothing"))
        run.kill()
    os.close(master)


def list_items(app):
    for node in ui.nodes(app):
        if node.getRole() == pyatspi.ROLE_LIST:
            return [node.getChildAtIndex(i).name for i in range(node.childCount)]
    return None


def probe_file_rewritten():
    path = os.path.join(WORK, "rewritten.txt")
    with open(path, "w") as f:
        f.write("E\nT\nM\n")
    run = Run(KEYVIEW, ["--no-sound"])
    app = run.app()
    ui.activate(app)
    orcalib.OrcaSession.key("alt+f")
    time.sleep(0.8)
    orcalib.OrcaSession.type_text(path)
    press(app, "Start")
    time.sleep(0.3)
    with open(path, "w") as f:  # rewritten in place while E plays
        f.write("TTTTTT\nI\n")
    time.sleep(6)
    got = wait_alert(app, 1.0)
    if got:
        dismiss()
    say("10 file rewritten", "the list after sending", repr(list_items(app)))
    say("10 file rewritten", "message", repr(got) if got else "none")
    run.kill()


def probe_missing_file():
    for program in (KEYVIEW, EARKEY):
        run = Run(program, ["--no-sound"])
        app = run.app()
        open_exercise(run, app, "alt+f", "Send a File")
        time.sleep(0.8)
        orcalib.OrcaSession.type_text("NOSUCH.TXT")
        if run.name == "keyview":
            press(app, "Start")
        else:
            orcalib.OrcaSession.key("Return")
        got = wait_alert(app, 2.0)
        say("11 missing file", run.name, "message %r" % got if got else "no message")
        run.kill()


def probe_port_box():
    run = Run(KEYVIEW, ["--no-sound"])
    app = run.app()
    ui.activate(app)
    orcalib.OrcaSession.key("alt+p")
    time.sleep(0.3)
    orcalib.OrcaSession.key("ctrl+a", "BackSpace")
    subprocess.run(["xdotool", "type", "--delay", "1", "7" * 2000], check=True)
    time.sleep(0.5)
    box = ui.wait_node(app, lambda n: n.getRole() == pyatspi.ROLE_TEXT and
                       n.getState().contains(pyatspi.STATE_EDITABLE), what="port box")
    typed = ui.text_of(box)
    say("12 port box", "2,000 digits typed: the box holds", "%d digits" % len(typed))
    press(app, "Send", 0)
    box_width = None
    for node in ui.nodes(app):
        if node.getRole() == pyatspi.ROLE_ALERT:
            box_width = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS).width
    if box_width:
        say("12 port box", "the Comm Port Error box", "%d px wide" % box_width)
        dismiss()
    ui.activate(app)
    orcalib.OrcaSession.key("Escape")
    run.wait(10)
    with open(conf_file(run)) as f:
        kept = re.search(r"number=(\d*)", f.read())
    say("12 port box", "kept in the settings file", "%d digits" % len(kept.group(1)) if kept
        else "none")
    again = Run(KEYVIEW, ["--no-sound"], config=run.config)
    app = again.app()
    box = ui.wait_node(app, lambda n: n.getRole() == pyatspi.ROLE_TEXT and
                       n.getState().contains(pyatspi.STATE_EDITABLE), what="port box")
    say("12 port box", "the next start shows", repr(ui.text_of(box)[:20]))
    again.kill()


def probe_send_clicks():
    run = Run(KEYVIEW, ["--no-sound", "--port", "1=/nonexistent/ttyUSB9"])
    app = run.app()
    ui.activate(app)
    send = button(app, "Send", 0)
    ext = send.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    subprocess.run(["xdotool", "mousemove", str(ext.x + ext.width // 2),
                    str(ext.y + ext.height // 2)], check=True)
    for how in ("click", "space", "AT-SPI press action"):
        if how == "AT-SPI press action":
            for _ in range(3):
                send.queryAction().doAction(0)
                time.sleep(0.08)
        elif how == "click":
            subprocess.run(["xdotool", "click", "--repeat", "3", "--delay", "80", "1"], check=True)
        else:
            send.queryComponent().grabFocus()
            time.sleep(0.3)
            orcalib.OrcaSession.key("space", "space", "space", delay_ms=80)
        boxes = 0
        while wait_alert(app, 2.0):
            boxes += 1
            dismiss()
            if boxes > 5:
                break
        say("13 presses of Send", "3 x %s on Send, port that cannot open" % how,
            "%d boxes" % boxes)
        ui.activate(app)
    run.kill()


def probe_main_window_size():
    for program in (EARKEY, KEYVIEW):
        run = Run(program, ["--no-sound"])
        run.app()
        title = "^Earkey" if run.name == "earkey" else "^Keyview"
        wid = visible(title)[0]
        hints = subprocess.run(["xprop", "-id", wid, "WM_NORMAL_HINTS"], capture_output=True,
                               text=True).stdout
        m = re.search(r"minimum size: (\d+) by (\d+)", hints)
        say("14 main window size", run.name + ": smallest size asked of the window manager",
            "%s x %s px" % m.groups() if m else "none")
        run.kill()


def probe_keying_unkeyable():
    table = os.path.join(DATA, "KEYTUT.CDE")
    for text in ("~~~", "E~E"):
        out = os.path.join(WORK, "k.txt")
        r = subprocess.run([KEYING, "--code-table", table, "--wpm", "12", "-o", out, text], capture_output=True,
                           text=True)
        lines = sum(1 for line in open(out) if line.strip() and not line.startswith("#")) \
            if os.path.exists(out) else 0
        say("15 keytut-keying", repr(text), "exit %d, %d script lines, stderr %r" %
            (r.returncode, lines, r.stderr.strip()))
        if os.path.exists(out):
            os.remove(out)


PROBES = [name[len("probe_"):] for name in list(globals()) if name.startswith("probe_")]


def main():
    global EARKEY, KEYVIEW, KEYING, DATA
    EARKEY, KEYVIEW, KEYING, DATA = (os.path.abspath(p) for p in sys.argv[1:5])
    chosen = sys.argv[5:] or PROBES
    pyatspi.Registry.getDesktop(0)  # the accessibility bus first
    for name in chosen:
        try:
            globals()["probe_" + name]()
        except Exception as error:  # one probe's trouble does not stop the others
            say(name, "probe failed", repr(error)[:120])


if __name__ == "__main__":
    main()
