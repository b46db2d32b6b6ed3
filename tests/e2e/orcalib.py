"""Helpers for end-to-end tests that listen to a real screen reader (Orca) and read the
accessibility tree over AT-SPI.

Run inside tests/e2e/a11y_session.sh (private home, Xvfb, private D-Bus session) with
Debian's /usr/bin/python3, which has pyatspi.

    with OrcaSession() as s:
        s.start_orca()
        s.start_program(["./earkey"], cwd=data_dir)
        s.wait_for_speech(lambda t: t.startswith("Earkey"))
        mark = s.mark()
        s.key("space")
        spoken = s.wait_for_speech(lambda t: t == "E", since=mark)
"""

import os
import re
import signal
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ORCA_RUN = os.path.join(HERE, "orca_run.py")
PYTHON = "/usr/bin/python3"  # Debian's interpreter: pyatspi and Orca live there

STARTED_MARK = "ORCA: Startup complete notification made"
_RECORD = re.compile(r"^(\d\d:\d\d:\d\d\.\d{6}) - ", re.M)
_SPEECH = "SPEECH OUTPUT: "
# 'text' optionally followed by the voice, e.g. 'E label.'{'established': False}
_PAYLOAD = re.compile(r"'(.*)'(?:\{[^{}]*\})?\s*\Z", re.S)


class Utterance:
    """One line of speech from Orca's log."""

    def __init__(self, index, stamp, text):
        self.index = index  # position among all utterances of the log
        self.stamp = stamp  # seconds since midnight, from Orca's clock
        self.text = text

    def __repr__(self):
        return "Utterance(%d, %.6f, %r)" % (self.index, self.stamp, self.text)


def spoken(text, roles=("label",)):
    """What was said, blanks collapsed, without the role Orca appends ("E label.")."""
    text = " ".join(text.split())
    text = re.sub(r"\s*\b(%s)\.?$" % "|".join(roles), "", text)
    return text.rstrip(".").strip()


class Listener:
    """Follows Orca's speech in order: each utterance expected comes after the one before."""

    def __init__(self, session, norm=spoken):
        self.s = session
        self.norm = norm
        self.mark = session.mark()
        self.heard = []  # (what was expected, the utterance)

    def take(self, what, predicate, timeout=10.0):
        u = self.s.wait_for_speech(predicate, since=self.mark, timeout=timeout)
        self.heard.append((what, u))
        self.mark = u.index + 1
        return u

    def expect(self, text, timeout=10.0):
        """Waits for an utterance that says `text`."""
        want = self.norm(text)
        return self.take(text, lambda t: self.norm(t) == want, timeout)

    def expect_within(self, text, timeout=10.0):
        """Waits for an utterance that holds `text` (the window's announcement, say)."""
        want = self.norm(text)
        return self.take(text, lambda t: want in self.norm(t), timeout)


def parse_speech(log_text):
    """Returns the utterances of an Orca debug log ("SPEECH OUTPUT: '...'" records) in order.

    A record runs from its time stamp to the next one, so spoken texts with line breaks
    are kept whole."""
    out = []
    starts = list(_RECORD.finditer(log_text))
    for i, m in enumerate(starts):
        end = starts[i + 1].start() if i + 1 < len(starts) else len(log_text)
        body = log_text[m.end():end]
        if not body.startswith(_SPEECH):
            continue
        m_text = _PAYLOAD.match(body[len(_SPEECH):])
        if not m_text:
            continue
        h, mi, s = m.group(1).split(":")
        stamp = int(h) * 3600 + int(mi) * 60 + float(s)
        out.append(Utterance(len(out), stamp, m_text.group(1)))
    return out


class OrcaSession:
    """Orca, the program under test and the key presses sent to it, in one private session."""

    def __init__(self, workdir=None):
        base = workdir or os.environ.get("A11Y_SESSION_DIR")
        if not base:
            base = tempfile.mkdtemp(prefix="orca-")
        self.dir = base
        self.prefs = os.path.join(base, "orca-prefs")
        self.log = os.path.join(base, "orca.log")
        self.orca = None
        self.programs = []

    # -- Orca ---------------------------------------------------------------------------

    def start_orca(self, timeout=30.0):
        """Starts Orca and returns when its log says it has started."""
        if "DISPLAY" not in os.environ:
            raise RuntimeError("no DISPLAY: run inside tests/e2e/a11y_session.sh")
        os.makedirs(self.prefs, exist_ok=True)
        out = open(os.path.join(self.dir, "orca.out"), "w")
        self.orca = subprocess.Popen(
            [PYTHON, ORCA_RUN, "--replace", "-u", self.prefs, "--debug-file=" + self.log],
            stdout=out, stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL)
        out.close()
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if self.orca.poll() is not None:
                raise RuntimeError("Orca exited with %s before starting; see %s" %
                                   (self.orca.returncode, self.dir))
            if STARTED_MARK in self.log_text():
                return
            time.sleep(0.05)
        raise TimeoutError("Orca did not start within %.0f s; see %s" % (timeout, self.log))

    def log_text(self):
        try:
            with open(self.log, encoding="utf-8", errors="replace") as f:
                return f.read()
        except FileNotFoundError:
            return ""

    def speech(self):
        """All utterances so far."""
        return parse_speech(self.log_text())

    def mark(self):
        """A position in the speech so far; pass it as since= to look only at what follows."""
        return len(self.speech())

    def spoken_since(self, since=0):
        return [u.text for u in self.speech()[since:]]

    def wait_for_speech(self, predicate, since=0, timeout=10.0):
        """Waits for an utterance after position since for which predicate(text) holds and
        returns it; raises TimeoutError with what was spoken otherwise."""
        deadline = time.monotonic() + timeout
        while True:
            for u in self.speech()[since:]:
                if predicate(u.text):
                    return u
            if time.monotonic() >= deadline:
                raise TimeoutError("not spoken within %.1f s; spoken: %r" %
                                   (timeout, self.spoken_since(since)))
            time.sleep(0.05)

    def settle(self, quiet=0.5, timeout=10.0):
        """Waits until Orca's log has not grown for quiet seconds."""
        deadline = time.monotonic() + timeout
        size, since = -1, time.monotonic()
        while time.monotonic() < deadline:
            now = os.path.getsize(self.log) if os.path.exists(self.log) else 0
            if now != size:
                size, since = now, time.monotonic()
            elif time.monotonic() - since >= quiet:
                return
            time.sleep(0.05)

    # -- the program under test --------------------------------------------------------

    def start_program(self, argv, cwd=None, env=None):
        """Starts a Qt program on the session's display with its accessibility bridge on."""
        full = dict(os.environ)
        full.update(QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
        if env:
            full.update(env)
        name = os.path.basename(argv[0])
        out = open(os.path.join(self.dir, name + ".out"), "a")
        proc = subprocess.Popen(argv, cwd=cwd, env=full, stdout=out, stderr=subprocess.STDOUT,
                                stdin=subprocess.DEVNULL)
        out.close()
        proc.output_path = os.path.join(self.dir, name + ".out")
        self.programs.append(proc)
        return proc

    @staticmethod
    def application(proc, name, timeout=40.0):
        """The accessible application of a program started by start_program. A program that
        ends, or never reaches the bus, fails the wait with what it printed, so that the
        reason is in the test's log and not only in the session's folder."""
        try:
            app = find_application(name, timeout=timeout, alive=lambda: proc.poll() is None)
        except TimeoutError as error:
            raise TimeoutError("%s; %s printed: %s" % (error, name, _tail(proc.output_path)))
        if app is None:
            raise RuntimeError("%s ended with status %s before reaching the accessibility bus; "
                               "it printed: %s" % (name, proc.returncode,
                                                   _tail(proc.output_path)))
        return app

    @staticmethod
    def key(*keys, delay_ms=12):
        """Presses keys (xdotool names: "space", "Return", "F1", "e", "Escape") on the
        focused window."""
        subprocess.run(["xdotool", "key", "--delay", str(delay_ms)] + list(keys), check=True)

    @staticmethod
    def type_text(text, delay_ms=12):
        subprocess.run(["xdotool", "type", "--delay", str(delay_ms), text], check=True)

    # -- clean-up ----------------------------------------------------------------------

    def stop(self):
        """Stops the programs, then Orca (cleanly, so its log is complete), then the
        speech-dispatcher this session started (by its pid file)."""
        for proc in self.programs:
            _terminate(proc, 5.0)
        self.programs = []
        if self.orca is not None:
            _terminate(self.orca, 10.0)
            self.orca = None
        stop_speech_dispatcher()

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.stop()
        return False


def _terminate(proc, grace):
    if proc.poll() is not None:
        return
    proc.send_signal(signal.SIGTERM)
    try:
        proc.wait(grace)
    except subprocess.TimeoutExpired:
        proc.kill()
        proc.wait()


def _alive(pid):
    try:
        os.kill(pid, 0)
        return True
    except ProcessLookupError:
        return False
    except PermissionError:
        return True


def session_processes(runtime_dir=None):
    """Pids of the processes started in this session: those whose environment holds this
    session's (private, temporary) XDG_RUNTIME_DIR. Never this process or its ancestors."""
    runtime_dir = runtime_dir or os.environ.get("XDG_RUNTIME_DIR")
    if not runtime_dir:
        return []
    needle = ("XDG_RUNTIME_DIR=" + runtime_dir).encode()
    spare, pid = set(), os.getpid()
    while pid > 1:  # this process and its ancestors
        spare.add(pid)
        try:
            with open("/proc/%d/stat" % pid) as f:
                pid = int(f.read().rsplit(")", 1)[1].split()[1])
        except (OSError, ValueError, IndexError):
            break
    found = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit() or int(entry) in spare:
            continue
        try:
            with open("/proc/%s/environ" % entry, "rb") as f:
                if needle in f.read().split(b"\0"):
                    found.append(int(entry))
        except OSError:
            continue
    return found


def _cmdline(pid):
    try:
        with open("/proc/%d/cmdline" % pid, "rb") as f:
            return f.read().split(b"\0")[0].decode(errors="replace")
    except OSError:
        return ""


def stop_speech_dispatcher(runtime_dir=None, grace=5.0):
    """Stops the speech-dispatcher of this session (XDG_RUNTIME_DIR's pid file) and its output
    modules, modules first. The modules are detached (their parent is init), so they are
    found among this session's processes, never by name alone."""
    runtime_dir = runtime_dir or os.environ.get("XDG_RUNTIME_DIR")
    if not runtime_dir:
        return
    pidfile = os.path.join(runtime_dir, "speech-dispatcher", "pid", "speech-dispatcher.pid")
    try:
        with open(pidfile) as f:
            pid = int(f.read().strip())
    except (OSError, ValueError):
        return
    if not _alive(pid):
        return
    modules = [p for p in session_processes(runtime_dir)
               if os.path.dirname(_cmdline(p)).endswith("speech-dispatcher-modules")]
    for module in modules:
        try:
            os.kill(module, signal.SIGTERM)
        except ProcessLookupError:
            pass
    os.kill(pid, signal.SIGTERM)
    deadline = time.monotonic() + grace
    while time.monotonic() < deadline and any(_alive(p) for p in [pid] + modules):
        time.sleep(0.05)
    for leftover in [pid] + modules:
        if _alive(leftover):
            os.kill(leftover, signal.SIGKILL)


def _tail(path, lines=20):
    try:
        with open(path, encoding="utf-8", errors="replace") as f:
            text = f.read().splitlines()[-lines:]
    except OSError:
        return "(no output file)"
    return repr("\n".join(text)) if text else "nothing"


# -- AT-SPI ------------------------------------------------------------------------------

def _pyatspi():
    try:
        import pyatspi
    except ImportError:
        sys.exit("pyatspi is missing: run with Debian's /usr/bin/python3 "
                 "(package python3-pyatspi)")
    return pyatspi


def find_application(name=None, timeout=15.0, pid=None, alive=None):
    """The accessible application called name on the desktop, or that of process pid (two
    copies of a program share a name). alive(), when given, ends the wait early (None) once it
    is false: a program that has ended never comes."""
    pyatspi = _pyatspi()
    deadline = time.monotonic() + timeout
    while True:
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            try:
                app = desktop.getChildAtIndex(i)
                if app is None:
                    continue
                if (app.get_process_id() == pid) if pid is not None else (app.name == name):
                    return app
            except Exception:  # an application that just left the bus
                continue
        if alive is not None and not alive():
            return None
        if time.monotonic() >= deadline:
            raise TimeoutError("application %r not on the accessibility bus" % (name or pid))
        time.sleep(0.1)


def window_names(app):
    """The names of an application's windows now; a window that is just going is left out
    (AT-SPI gives None for it)."""
    names = []
    for i in range(app.childCount):
        try:
            child = app.getChildAtIndex(i)
        except Exception:  # the application left the bus
            continue
        if child is not None:
            names.append(child.name)
    return names


def focused_descendant(root, max_nodes=5000):
    """The descendant of root with the focused state, or None."""
    pyatspi = _pyatspi()
    stack, seen = [root], 0
    while stack and seen < max_nodes:
        node = stack.pop()
        seen += 1
        try:
            if node.getState().contains(pyatspi.STATE_FOCUSED):
                return node
            stack.extend(node.getChildAtIndex(i) for i in range(node.childCount))
        except Exception:
            continue
    return None


def wait_for_focus(app, predicate=lambda info: True, timeout=10.0):
    """Waits until a descendant of app has the focus and predicate((role, name, text))
    holds for it; returns that (role, name, text)."""
    deadline = time.monotonic() + timeout
    last = None
    while True:
        node = focused_descendant(app)
        if node is not None:
            last = describe(node)
            if predicate(last):
                return last
        if time.monotonic() >= deadline:
            raise TimeoutError("focus not as expected within %.1f s; last: %r" %
                               (timeout, last))
        time.sleep(0.05)


def describe(node):
    """(role name, accessible name, text) of an accessible; text is "" without a Text
    interface."""
    text = ""
    try:
        t = node.queryText()
        text = t.getText(0, t.characterCount)
    except Exception:
        pass
    return (node.getRoleName(), node.name or "", text)


def nodes(root, limit=5000):
    """root and its descendants, depth first; at most limit of them."""
    stack, seen = [root], 0
    while stack and seen < limit:
        node = stack.pop()
        seen += 1
        try:
            yield node
            stack.extend(node.getChildAtIndex(i) for i in range(node.childCount))
        except Exception:
            continue


def alerts(app):
    """The texts of the message boxes app shows, each box's labels joined."""
    pyatspi = _pyatspi()
    found = []
    for node in nodes(app):
        try:
            if node.getRole() == pyatspi.ROLE_ALERT:
                found.append(" | ".join(describe(n)[2] or n.name for n in nodes(node)
                                        if n.getRole() == pyatspi.ROLE_LABEL and
                                        (describe(n)[2] or n.name)))
        except Exception:
            continue
    return found


def wait_alert(app, timeout):
    """The text of the first message box app shows within timeout seconds, or None."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        found = alerts(app)
        if found:
            return found[0]
        time.sleep(0.1)
    return None


def finish(failures):
    """Prints each failure and PASS when there is none; returns the exit status."""
    for failure in failures:
        print("FAIL: " + failure)
    if not failures:
        print("PASS")
    return 1 if failures else 0
