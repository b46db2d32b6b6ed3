#!/usr/bin/python3
"""The processor time a decode screen takes while nobody keys, side-tone included.

Run by measure-key-cpu.sh (a private PulseAudio or PipeWire with a null sink, Xvfb, AT-SPI).
Keyview starts on the sound card (the side-tone straight to the server, the Morse through
PortAudio) with an idle simulated key; the script measures
the program's CPU (user + system time from /proc) over a window of seconds on its main window,
then on the Straight Key Decode screen, then on the Paddle Key Decode screen (each from six
seconds after it opened: a screen left alone pauses its voice after five), and prints each as a
percentage of one core. KEYTUT_CPU_ARGS adds options to Keyview's command line (for example
--no-sound, to set the sound stack's share apart). KEYTUT_CPU_KEY=midi reads the key from a MIDI
adapter's node instead (a pseudo-terminal standing in for it, on which nothing comes);
KEYTUT_CPU_KEY=keyboard from the keyboard and mouse.
"""

import os
import pty
import sys
import tempfile
import time
import tty

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "keys"))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
import check_key_screens as ui  # noqa: E402
import orcalib  # noqa: E402
import pyatspi  # noqa: E402

WINDOW = float(os.environ.get("KEYTUT_CPU_SECONDS", "10"))


def cpu_seconds(pid):
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    ticks = os.sysconf("SC_CLK_TCK")
    return (int(fields[11]) + int(fields[12])) / ticks  # utime + stime


def thread_cpu(pid):
    """Processor seconds and voluntary context switches of each thread, by thread id."""
    ticks = os.sysconf("SC_CLK_TCK")
    threads = {}
    for tid in os.listdir("/proc/%d/task" % pid):
        try:
            with open("/proc/%d/task/%s/stat" % (pid, tid)) as f:
                head, rest = f.read().rsplit(")", 1)
            with open("/proc/%d/task/%s/status" % (pid, tid)) as f:
                switches = [int(line.split()[1]) for line in f
                            if line.startswith("voluntary_ctxt_switches")][0]
        except OSError:
            continue
        fields = rest.split()
        threads[tid] = (head.split("(", 1)[1], (int(fields[11]) + int(fields[12])) / ticks,
                        switches)
    return threads


# A decode screen pauses its voice after five seconds without keying; the window starts after.
REST_AFTER = 5.0


def measure(pid, what, settle=1.0):
    time.sleep(settle)  # let the screen settle
    c0, t0, th0 = cpu_seconds(pid), time.monotonic(), thread_cpu(pid)
    time.sleep(WINDOW)
    c1, t1, th1 = cpu_seconds(pid), time.monotonic(), thread_cpu(pid)
    share = (c1 - c0) / (t1 - t0) * 100
    print("%-36s %5.2f %% of one core (%.2f s CPU in %.1f s)" % (what, share, c1 - c0, t1 - t0))
    for tid, (name, seconds, switches) in sorted(th1.items()):
        if tid in th0 and switches > th0[tid][2]:
            print("    thread %-16s %5.2f %%, wakes %4.0f times a second" %
                  (name, (seconds - th0[tid][1]) / (t1 - t0) * 100,
                   (switches - th0[tid][2]) / (t1 - t0)))
    return share


def main():
    build, data = sys.argv[1:3]
    script = os.path.join(tempfile.mkdtemp(), "idle.txt")
    with open(script, "w") as f:
        f.write("# nobody keys\n")
    port = "1=sim:" + script
    if os.environ.get("KEYTUT_CPU_KEY") == "midi":
        master, slave = pty.openpty()
        tty.setraw(slave)
        port = "1=midi:" + os.ttyname(slave)
    elif os.environ.get("KEYTUT_CPU_KEY") == "keyboard":
        port = "1=keyboard"
    print("key: --port %s" % port)
    pyatspi.Registry.getDesktop(0)
    s = orcalib.OrcaSession()
    try:
        extra = os.environ.get("KEYTUT_CPU_ARGS", "").split()
        proc = s.start_program([os.path.join(build, "keyview", "keyview"), "--reset-settings",
                                "--port", port] + extra, cwd=data)
        app = orcalib.find_application("keyview")
        ui.activate(app)
        measure(proc.pid, "main window, nothing playing")
        ui.press_send(app, 0)
        ui.window(app, "Straight Key Decode")
        straight = measure(proc.pid, "Straight Key Decode, nobody keying", REST_AFTER + 1)
        s.key("Escape")
        ui.gone(app, "Straight Key Decode")
        ui.activate(app)
        ui.press_send(app, 1)
        ui.window(app, "Paddle Key Decode")
        paddle = measure(proc.pid, "Paddle Key Decode, nobody keying", REST_AFTER + 1)
        s.key("Escape")
    finally:
        s.stop()
    print("aim: under 1 %% of one core, %.0f s after the last keying: %s" %
          (REST_AFTER + 1, "met" if max(straight, paddle) < 1.0 else "NOT met"))


if __name__ == "__main__":
    main()
