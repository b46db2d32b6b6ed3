"""A quiet terminal and a clean end on SIGTERM, for both programs.

Run inside a11y_session.sh (private home, Xvfb, D-Bus; no sound server is started) with
Debian's /usr/bin/python3:
    check_quiet_quit.py EARKEY KEYVIEW DATA_DIR

1. Each program is started on the sound card with no sound server running, then ended with
   SIGTERM: it must end with status 0, and stderr must hold nothing but the program's own lines
   ("earkey: ..."); the sound libraries' probing is not shown.
2. Earkey records a group test to a WAV file and gets SIGTERM while sending: it must end with
   status 0, and the file's header must count every frame written. The same for SIGHUP (the
   terminal closed), after which the character speed chosen must be kept as well.
3. SIGINT ends Keyview in the same way.
"""

import os
import signal
import subprocess
import sys
import time
import wave

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import orcalib  # noqa: E402
import pyatspi  # noqa: E402

failures = []


def check(ok, what):
    print("%s %s" % ("ok  " if ok else "FAIL", what))
    if not ok:
        failures.append(what)


def start(argv, data):
    env = dict(os.environ, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    env.pop("PULSE_SERVER", None)
    proc = subprocess.Popen(argv, cwd=data, env=env, stdin=subprocess.DEVNULL,
                            stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    orcalib.find_application(os.path.basename(argv[0]), timeout=20)
    time.sleep(1.0)
    return proc


def end(proc, sig=signal.SIGTERM):
    proc.send_signal(sig)
    try:
        out, err = proc.communicate(timeout=15)
    except subprocess.TimeoutExpired:
        proc.kill()
        out, err = proc.communicate()
        return None, err
    return proc.returncode, err


def recording_ended_by(earkey, data, sig):
    """Earkey records a group test and gets `sig` while sending; with SIGHUP (the terminal
    closed) the character speed chosen before is kept too."""
    name = signal.Signals(sig).name
    record = os.path.join(os.environ.get("A11Y_SESSION_DIR", "/tmp"), name + ".wav")
    conf = os.path.join(os.environ["XDG_CONFIG_HOME"], "keytut", "earkey.conf")
    proc = start([earkey, "--record", record, "--seed", "1", "--reset-settings"], data)
    keys = ["Return", "F1", "F1", "Return"]
    if sig == signal.SIGHUP:
        # The character speed 15, past the word speed, the port box and the Tone and Key
        # buttons back to the first lesson button, then as above.
        keys = ["alt+c", "Down"] + ["Tab"] * 5 + ["Return", "F1", "F1", "Return"]
    # Lesson 1, on to the group test, start it: twenty groups, minutes of Morse.
    for key in keys:
        orcalib.OrcaSession.key(key)
        time.sleep(0.7)
    time.sleep(2.0)
    status, err = end(proc, sig)
    check(status == 0, "earkey ends with status 0 on %s while sending (got %s)" % (name, status))
    size = os.path.getsize(record)
    with wave.open(record) as w:
        frames = w.getnframes()
        check(w.getframerate() == 8000 and w.getsampwidth() == 2 and w.getnchannels() == 1,
              "the recording is 8000 Hz, 16 bit, mono")
    written = (size - 44) // 2
    print("  recording: %d bytes, header counts %d frames, %d written" % (size, frames, written))
    check(frames > 8000, "the recording holds the Morse sent before %s" % name)
    check(frames == written, "the header counts every frame written")
    if sig == signal.SIGHUP:
        with open(conf) as f:
            kept = f.read()
        check("character=15" in kept, "the character speed chosen is kept on SIGHUP")


def main():
    earkey, keyview, data = sys.argv[1:4]
    # The accessibility bus must be up before the programs start, or their bridge stays off.
    pyatspi.Registry.getDesktop(0)
    for program in (earkey, keyview):
        name = os.path.basename(program)
        status, err = end(start([program], data))
        foreign = [line for line in err.splitlines()
                   if line.strip() and not line.startswith(name + ":")]
        print("  %s's stderr: %r" % (name, err))
        check(status == 0, "%s ends with status 0 on SIGTERM (got %s)" % (name, status))
        check(not foreign, "%s prints nothing but its own lines on stderr" % name)

    for sig in (signal.SIGTERM, signal.SIGHUP):
        recording_ended_by(earkey, data, sig)

    status, err = end(start([keyview, "--no-sound"], data), signal.SIGINT)
    check(status == 0, "keyview ends with status 0 on SIGINT (got %s)" % status)
    return orcalib.finish(failures)


if __name__ == "__main__":
    sys.exit(main())
