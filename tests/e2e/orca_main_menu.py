"""Real Orca reads Earkey's main menu: at start the first lesson button is spoken, and Tab
moves on to the next lesson button, which is spoken too. When the settings cannot be kept, the
first change of a speed has Orca say so, once.

Run inside a11y_session.sh with Debian's /usr/bin/python3:
    orca_main_menu.py BUILD_DIR DATA_DIR
"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import orcalib  # noqa: E402


def main():
    build, data = sys.argv[1], sys.argv[2]
    with orcalib.OrcaSession() as session:
        session.start_orca()
        session.start_program([os.path.join(build, "earkey", "earkey"), "--no-sound"], cwd=data)
        try:
            first = session.wait_for_speech(lambda t: "E T I M" in t, timeout=30)
            print("spoken at start: %r" % first.text)
            mark = session.mark()
            session.key("Tab")
            second = session.wait_for_speech(lambda t: "A N S" in t, since=mark, timeout=10)
            print("spoken after Tab: %r" % second.text)
        except TimeoutError as error:
            print("FAIL: %s" % error)
            return 1
        for proc in list(session.programs):
            orcalib._terminate(proc, 5.0)
            session.programs.remove(proc)

        # A file where the settings' folder should be: they cannot be kept.
        config = os.path.join(session.dir, "unkept-config")
        os.makedirs(config, exist_ok=True)
        with open(os.path.join(config, "keytut"), "w") as f:
            f.write("a file, not a folder\n")
        session.start_program([os.path.join(build, "earkey", "earkey"), "--no-sound"], cwd=data,
                              env={"XDG_CONFIG_HOME": config})
        try:
            session.wait_for_speech(lambda t: "E T I M" in t, timeout=30)
            session.settle(0.5)
            mark = session.mark()
            session.key("alt+c")
            session.settle(0.3)
            session.key("Down")
            told = session.wait_for_speech(lambda t: "cannot be kept" in t, since=mark,
                                           timeout=10)
            print("spoken when the settings cannot be kept: %r" % told.text)
            session.settle(0.5)
            session.key("Return")  # the box's OK
            session.settle(0.5)
            mark = session.mark()
            session.key("Down")
            session.settle(1.5)
            again = [t for t in session.spoken_since(mark) if "cannot be kept" in t]
            print("spoken after the next change: %r" % session.spoken_since(mark))
            if again:
                print("FAIL: said a second time: %r" % again)
                return 1
        except TimeoutError as error:
            print("FAIL: %s" % error)
            return 1
    print("PASS")
    return 0


if __name__ == "__main__":
    sys.exit(main())
