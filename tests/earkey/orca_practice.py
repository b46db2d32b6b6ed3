#!/usr/bin/python3
"""Earkey's thirty-word test and message sending listened to by a real screen reader (Orca),
with what was played recorded and decoded back to text.

Usage, inside tests/e2e/a11y_session.sh:
    orca_practice.py EARKEY DATA_FOLDER

Thirty-word test: Earkey starts with --record, both speeds are set to 30, the "30 word test"
button is reached with Tab and pressed. The window's instructions must be spoken once. Return
sends a list; Down, Down, Up, Up, Down while it is sent must speak word 1, word 2, word 1 and
word 2 (Up at word 1 says nothing). When the whole list has been played, thirty Downs read it
back; the recording, decoded, must be those thirty words.

Message sending: Earkey starts again with --record; "Type a Message" is reached with Tab and
pressed; a message is typed and sent twice with Return; the recording, decoded, must be the
message twice.
"""

import os
import re
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
import decode_morse  # noqa: E402
import orcalib  # noqa: E402
from orcalib import spoken as norm  # noqa: E402

WORD_TEST = ("Press Enter to start, Escape to exit.\n"
             "When finished use cursor keys to read the list.")
MESSAGE = "Type a message then enter to send, Escape to exit"
TYPED = "CQ DE G4XQZ"


class Listener(orcalib.Listener):
    def next_word(self, timeout=10.0):
        """The next utterance that is a word read from the word box."""
        u = self.take("a word", lambda t: re.fullmatch(r"[A-Z']+", norm(t)) is not None,
                      timeout)
        return norm(u.text)


def tab_to(session, caption, tabs=30):
    """Tabs through the main menu until Orca speaks the button `caption`."""
    for _ in range(tabs):
        mark = session.mark()
        session.key("Tab")
        try:
            session.wait_for_speech(lambda t: caption in t, since=mark, timeout=2)
            return
        except TimeoutError:
            continue
    raise AssertionError("no button %r reached with Tab" % caption)


def set_speeds_to_30(session):
    session.key("alt+c")
    session.key("End")
    session.key("alt+s")
    session.key("End")
    session.settle(0.5)


def letters(text):
    return "".join(text.split())


def decoded(path, table):
    return decode_morse.decode_file(path, table, 30, 30).strip()


def spoken_once(everything, text):
    said = [u for u in everything if norm(text) in norm(u.text)]
    if len(said) != 1:
        raise AssertionError("%r was spoken %d times: %r" % (text, len(said),
                                                             [u.text for u in said]))


def word_test(s, earkey, data, table):
    wav = os.path.join(s.dir, "words.wav")
    s.start_program([earkey, "--record", wav, "--seed", "1"], cwd=data)
    s.wait_for_speech(lambda t: "E T I M" in t, timeout=20)
    s.settle(0.5)
    set_speeds_to_30(s)
    tab_to(s, "30 word test")
    listen = Listener(s)
    start = listen.mark
    s.key("Return")
    listen.expect_within(WORD_TEST)
    s.settle(0.5)

    s.key("Return")
    time.sleep(1.0)
    during = []
    for key in ("Down", "Down", "Up", "Up", "Down"):
        s.key(key)
        time.sleep(0.4)
    for _ in range(4):  # the Up at word 1 says nothing
        during.append(listen.next_word())
    if during[0] != during[2] or during[1] != during[3] or during[0] == "":
        raise AssertionError("Down, Down, Up, Up, Down said %r" % during)

    # The whole list at 30 words per minute plays in about a minute; then it is read back.
    deadline = time.monotonic() + 150
    last = None
    while time.monotonic() < deadline:
        now = decoded(wav, table)
        if len(now.split()) >= 30 and now == last:
            break
        last = now
        time.sleep(5)
    s.settle(0.5)
    s.key("Up")  # back to word 1 of the list, wherever the reading stood
    time.sleep(0.3)
    s.key("Up")
    s.settle(0.5)
    listen.mark = s.mark()
    words = []
    for _ in range(30):
        s.key("Down")
        words.append(listen.next_word())
    s.key("Down")  # one more: nothing new
    s.settle(1.0)
    everything = s.speech()[start:]
    s.key("Escape")
    time.sleep(0.5)
    s.key("Escape")
    time.sleep(1.0)

    spoken_once(everything, WORD_TEST)
    heard = decoded(wav, table)
    print("Words read back with Down: %s" % " ".join(words))
    print("Decoded from %s:       %s" % (os.path.basename(wav), heard))
    if during[:2] != words[:2]:
        raise AssertionError("the words read while sending %r are not the list's %r"
                             % (during[:2], words[:2]))
    # The characters must be the list's; on a machine too busy to keep the recording's pace a
    # late character can stretch a gap into a word space, so blanks are only reported.
    if letters(heard) != "".join(words):
        raise AssertionError("the recording says %r, the screen %r" % (heard, words))
    if heard.split() != words:
        print("Note: the recording's word spaces differ from the list's (a stall under load)")
    return everything


def message(s, earkey, data, table):
    wav = os.path.join(s.dir, "message.wav")
    s.start_program([earkey, "--record", wav], cwd=data)
    s.wait_for_speech(lambda t: "E T I M" in t, timeout=20)
    s.settle(0.5)
    set_speeds_to_30(s)
    tab_to(s, "Type a Message")
    listen = Listener(s)
    start = listen.mark
    s.key("Return")
    listen.expect_within(MESSAGE)
    s.wait_for_speech(lambda t: "Text to send" in t, since=start, timeout=10)
    s.settle(0.5)
    s.type_text(TYPED, delay_ms=60)
    s.settle(0.5)
    s.key("Return")
    time.sleep(5.0)
    s.key("Return")
    time.sleep(5.0)
    everything = s.speech()[start:]
    s.key("Escape")
    time.sleep(0.5)
    s.key("Escape")
    time.sleep(1.0)
    spoken_once(everything, MESSAGE)
    heard = decoded(wav, table)
    print("Decoded from %s: %s" % (os.path.basename(wav), heard))
    if letters(heard) != letters(TYPED + TYPED):
        raise AssertionError("the recording says %r, not the message twice" % heard)
    return everything


def main():
    earkey, data = sys.argv[1:3]
    table = os.path.join(data, "KEYTUT.CDE")
    with orcalib.OrcaSession() as s:
        s.start_orca()
        words = word_test(s, earkey, data, table)
        sent = message(s, earkey, data, table)
    print("Orca, thirty-word test (from opening the window):")
    for u in words:
        print("  %.3f %r" % (u.stamp, u.text))
    print("Orca, message sending (from opening the window):")
    for u in sent:
        print("  %.3f %r" % (u.stamp, u.text))
    print("PASS")


if __name__ == "__main__":
    try:
        main()
    except Exception as error:  # noqa: BLE001 - the reason goes to the test log
        print("FAIL: %s" % error)
        sys.exit(1)
