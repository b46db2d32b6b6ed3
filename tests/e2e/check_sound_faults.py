"""Sound faults met while a learner works, through the whole program (Earkey).

Run inside a11y_session.sh (Xvfb, private D-Bus session) with Debian's /usr/bin/python3:

    check_sound_faults.py BUILD_DIR DATA_DIR CASE

record-limit: Earkey records (--record) under a file-size limit (ulimit -f) while the learner
    plays characters in the first lesson. The program must say once, in words, that recording
    stopped and why, go on working, and leave a valid WAV file of what was recorded.
server-gone: run inside tools/with-pulse.sh as well. The PulseAudio server is killed while a
    character plays: the program says so once and goes on; when a server is back, the next
    character is heard on it without a restart of the program.
"""

import os
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time
import wave

import pyatspi

from check_main_windows import EARKEY_TITLE, fail, find_app, press_ok, texts, wait_for, windows

RECORD_LIMIT_KIB = 12


def start_earkey(build, folder, args, limit_kib=None):
    env = dict(os.environ, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    binary = os.path.join(build, "earkey", "earkey")
    command = [binary, "--seed", "1"] + args
    if limit_kib:
        command = ["bash", "-c", 'ulimit -f %d && exec "$@"' % limit_kib, "earkey"] + command
    proc = subprocess.Popen(command, cwd=folder, env=env, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)
    app = wait_for(lambda: find_app("earkey"), 20, "earkey on the accessibility bus")
    wait_for(lambda: any(w.name == EARKEY_TITLE for w in windows(app)), 20, "the main menu")
    return proc, app


def key(*names):
    subprocess.run(["xdotool", "key", "--delay", "20"] + list(names), check=True)


def messages_with(app, words):
    return [t for t in texts(app) if t and words in t]


def open_first_lesson(app):
    time.sleep(0.5)
    key("Return")  # the focused button is the first lesson
    wait_for(lambda: any("Press SPACE to start" in t for t in texts(app) if t), 10,
             "the lesson window")
    time.sleep(0.3)


def stop(proc):
    if proc.poll() is None:
        proc.terminate()
        try:
            proc.wait(10)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.wait()


def check_wav(path):
    """A valid WAV file whose chunk sizes match its length; returns its frames."""
    size = os.path.getsize(path)
    with open(path, "rb") as f:
        data = f.read()
    if data[:4] != b"RIFF" or data[8:12] != b"WAVE":
        fail("%s is not a WAV file" % path)
    if struct.unpack("<I", data[4:8])[0] != size - 8:
        fail("the RIFF size of %s does not match its length %d" % (path, size))
    pos = 12
    while pos + 8 <= size:
        chunk, length = data[pos:pos + 4], struct.unpack("<I", data[pos + 4:pos + 8])[0]
        if chunk == b"data":
            if pos + 8 + length != size:
                fail("the data chunk of %s says %d bytes, the file holds %d" %
                     (path, length, size - pos - 8))
            break
        pos += 8 + length + (length & 1)
    else:
        fail("no data chunk in %s" % path)
    with wave.open(path, "rb") as w:
        if (w.getframerate(), w.getnchannels(), w.getsampwidth()) != (8000, 1, 2):
            fail("format of %s" % path)
        frames = w.readframes(w.getnframes())
    samples = struct.unpack("<%dh" % (len(frames) // 2), frames)
    return samples


def check_record_limit(build, folder):
    path = os.path.join(folder, "lesson.wav")
    proc, app = start_earkey(build, folder, ["--record", "lesson.wav"], RECORD_LIMIT_KIB)
    try:
        open_first_lesson(app)
        # Each character and the silence between them go to the file: a few reach the limit.
        for _ in range(10):
            key("space")
            time.sleep(1.0)
            if messages_with(app, "Recording to"):
                break
        shown = wait_for(lambda: messages_with(app, "Recording to"), 10,
                         "the message that recording stopped")
        print("message: %s" % shown[0])
        if "largest size allowed" not in shown[0] or "lesson.wav" not in shown[0]:
            fail("the message does not say which file and why: %r" % shown[0])
        press_ok(app)
        for _ in range(3):  # the learner goes on
            time.sleep(0.5)
            key("space")
        time.sleep(1.5)
        if proc.poll() is not None:
            fail("the program ended with status %d" % proc.returncode)
        if messages_with(app, "Recording to"):
            fail("the message came a second time")
    finally:
        stop(proc)
    samples = check_wav(path)
    size = os.path.getsize(path)
    if size > RECORD_LIMIT_KIB * 1024:
        fail("the file is %d bytes, above the limit" % size)
    if max(abs(s) for s in samples) < 1000:
        fail("no tone in what was recorded")
    print("record-limit: valid WAV of %d samples (%d bytes), message shown once" %
          (len(samples), size))


def record_sink(path):
    return subprocess.Popen(
        ["parecord", "-d", os.environ["KEYTUT_PULSE_SINK"] + ".monitor", "--rate=8000",
         "--channels=1", "--format=s16le", "--file-format=wav", path],
        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def peak(path):
    with wave.open(path, "rb") as w:
        frames = w.readframes(w.getnframes())
    samples = struct.unpack("<%dh" % (len(frames) // 2), frames)
    return max((abs(s) for s in samples), default=0)


def check_server_gone(build, folder):
    if "KEYTUT_PULSE_RESTART" not in os.environ:
        fail("run inside tools/with-pulse.sh")
    proc, app = start_earkey(build, folder, [])
    try:
        if messages_with(app, "No sound card"):
            fail("the sound server was not reached at start")
        open_first_lesson(app)
        key("space")
        time.sleep(0.15)
        os.kill(int(os.environ["KEYTUT_PULSE_PID"]), signal.SIGKILL)
        shown = wait_for(lambda: messages_with(app, "sound device went away"), 15,
                         "the message that the sound went away")
        print("message: %s" % shown[0])
        press_ok(app)
        for _ in range(3):  # silently, at the normal pace
            key("space")
            time.sleep(1.0)
        if proc.poll() is not None:
            fail("the program ended with status %d" % proc.returncode)
        if messages_with(app, "sound device went away"):
            fail("the message came a second time")
        new_pid = subprocess.run(os.environ["KEYTUT_PULSE_RESTART"], capture_output=True,
                                 text=True, check=True).stdout.strip()
        print("server restarted (pid %s)" % new_pid)
        recording = os.path.join(folder, "sink.wav")
        heard = 0
        for _ in range(6):  # the program tries the device again every 2 s
            time.sleep(1.0)
            recorder = record_sink(recording)
            time.sleep(0.5)
            key("space")
            time.sleep(2.0)
            recorder.send_signal(signal.SIGINT)
            recorder.wait(10)
            heard = peak(recording)
            if heard > 1000:
                break
        if heard <= 1000:
            fail("nothing was heard on the new server (peak %d)" % heard)
        if messages_with(app, "sound device went away") or messages_with(app, "No sound card"):
            fail("a further message was shown")
        print("server-gone: told once, played again on the new server (peak %d)" % heard)
    finally:
        stop(proc)


def main():
    build, data, case = sys.argv[1:4]
    checks = {"record-limit": check_record_limit, "server-gone": check_server_gone}
    if case not in checks:
        fail("unknown case " + case)
    wait_for(lambda: pyatspi.Registry.getDesktop(0) is not None, 10, "the AT-SPI registry")
    time.sleep(0.5)
    with tempfile.TemporaryDirectory(prefix="keytut-data-") as folder:
        for name in os.listdir(data):
            shutil.copy(os.path.join(data, name), folder)
        checks[case](os.path.abspath(build), folder)
    print("PASS")


if __name__ == "__main__":
    main()
