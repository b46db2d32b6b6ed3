"""Real Orca reads Earkey's main menu: at start the first lesson button is spoken, and Tab
moves on to the next lesson button, which is spoken too.

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
    print("PASS")
    return 0


if __name__ == "__main__":
    sys.exit(main())
