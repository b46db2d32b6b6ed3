"""What real Orca must say at each Tab stop of Earkey's screens: the tables of the
accessibility audit (orca_audit.py).

A screen is opened from a freshly started Earkey by `open` (xdotool key names, one press
each); the focus then rests on its first stop. Tab walks the stops in order and comes back
to the first. A screen opened from the main menu is then closed with Escape, and Orca must
say `back`, the main-menu button that opened it. At each stop Orca's speech must hold every text of `says` (the name and, for
lists and boxes, the value); each change (keys, texts) is then made from the keyboard and the
texts must be spoken after it. A text in a list is one utterance; blanks and line ends are
compared collapsed.

Earkey is started with `args` added to its command line (the key screens need a port).
A new screen adds its table to SCREENS.
"""

from collections import namedtuple

Stop = namedtuple("Stop", "says changes blank once", defaults=(False,))
Screen = namedtuple("Screen", "name open first_speech stops back args", defaults=(None, ()))


def stop(*says, changes=()):
    return Stop(list(says), list(changes), False)


# A box that is empty until the exercise fills it: Orca says only its role ("label."). The
# audit reports these stops, and fails when one of them speaks something else.
def blank(role):
    return Stop([role], [], True)


# A box or list that has a name of its own besides its text: Orca must say the name, once, before
# whatever it holds.
def named(name, *values):
    return Stop([name, *values], [], False, True)


BLANK = blank("label")


LESSON_BUTTONS = ["E T I M", "A N S", "O R K", "D U G", "W H C", "L Y F", "P B V", "X Q", "J Z",
                  "Numbers", "Punctuation"]
PRACTICE_BUTTONS = ["30 word test", "Random Q S Ohs", "Type a Message", "Send a File",
                    "Straight Key Send", "Paddle Key Send", "Koch Trainer", "Progress"]

MAIN_MENU = Screen(
    name="main menu",
    open=[],
    first_speech="E T I M",
    stops=[stop(caption) for caption in LESSON_BUTTONS + PRACTICE_BUTTONS] + [
        stop("Character Speed:", "12", changes=[
            (["Down"], ["15"]),
            (["Up"], ["12"]),
            (["Up"], ["5, Word speed lowered to 5"]),
            (["End"], ["30"]),
        ]),
        stop("Word Speed:", "5", changes=[
            (["Down"], ["12"]),
            (["End"], ["30"]),
            (["Home"], ["5"]),
        ]),
        stop("Comm Port:", "1", changes=[
            # Orca echoes typing only as the learner's own settings say; the new text is
            # heard when the focus comes back to the box.
            (["BackSpace", "2", "shift+Tab", "Tab"], ["Comm Port:", "2"]),
            # Back to port 1: the port is kept for the next screens' runs, and the key screens
            # find their key on port 1.
            (["BackSpace", "1", "shift+Tab", "Tab"], ["Comm Port:", "1"]),
        ]),
        stop("Tone"),
        stop("Key"),
    ])

HEARING = ("Press SPACE to start or repeat a character, Return for the next character "
           "or F1 for the next stage")
GROUP_TEST = ("20 groups of 5 characters will now be sent from those learned so far, "
              "They will be displayed when finished sending, Enter to start or Escape to exit")

# The character box is empty until a character has been played.
LESSON = Screen(
    name="lesson",
    open=["Return"],
    first_speech=HEARING,
    stops=[stop(HEARING), BLANK],
    back="E T I M")

GROUP_TEST_STAGE = Screen(
    name="group test",
    open=["Return", "F1", "F1"],
    first_speech=GROUP_TEST,
    stops=[stop(GROUP_TEST), BLANK, BLANK],
    back="E T I M")

PUNCTUATION = Screen(
    name="punctuation",
    open=["Tab"] * 10 + ["Return"],
    first_speech="C T Start of Message",
    stops=[stop(caption) for caption in [
        "C T Start of Message", "A R End of Message", "V A End of Q S O", "B T Pause", "Slash",
        "Full Stop", "Comma", "Question Mark"]],
    back="Punctuation")



def from_menu(caption):
    """The keys that open the practice screen behind a main-menu button."""
    return ["Tab"] * (LESSON_BUTTONS + PRACTICE_BUTTONS).index(caption) + ["Return"]


WORD_TEST = Screen(
    name="word test",
    open=from_menu("30 word test"),
    first_speech="Send 30 random words",
    stops=[named("Word")],
    back="30 word test")

QSO = Screen(
    name="qso",
    open=from_menu("Random Q S Ohs"),
    first_speech="Q S O File",
    stops=[stop("Q S O File", "MORSE1.TXT", changes=[(["Down"], ["MORSE2.TXT"]),
                                                      (["Up"], ["MORSE1.TXT"])]),
           named("Q S O line"),
           stop("Enter to send a Q S O")],
    back="Random Q S Ohs")

MESSAGE = Screen(
    name="message",
    open=from_menu("Type a Message"),
    first_speech="Text to send:",
    # The only stop: the focus cannot leave and come back, so KP_Enter (Orca's Where Am I)
    # reads the box again.
    stops=[stop("Text to send:", changes=[(["c", "q", "KP_Enter"], ["Text to send:", "cq"])])],
    back="Type a Message")

FILE = Screen(
    name="file",
    open=from_menu("Send a File"),
    first_speech="File:",
    stops=[stop("File:", changes=[(["a", "b", "c", "Tab", "shift+Tab"], ["File:", "abc"])]),
           named("Lines sent")],
    back="Send a File")

STRAIGHT_KEY = Screen(
    name="straight key",
    open=from_menu("Straight Key Send"),
    first_speech="Straight Key Decode dialog",
    stops=[named("Decoded text"), named("Last character")],
    back="Straight Key Send",
    args=("--port", "1=keyboard"))

PADDLE_KEY = Screen(
    name="paddle key",
    open=from_menu("Paddle Key Send"),
    first_speech="Paddle Key Decode dialog",
    stops=[named("Decoded text"), named("Last character")],
    back="Paddle Key Send",
    args=("--port", "1=keyboard"))

# Opened with Alt+T (the Tone button's mnemonic) from the first lesson button, where the focus
# stays and comes back to. The choices are put back, so that the audit ends on the default
# tone.
TONE = Screen(
    name="tone",
    open=["alt+t"],
    first_speech="Tone dialog",
    stops=[stop("Pitch:", "800 Hz", changes=[
               (["Down"], ["850 Hz"]),
               (["End"], ["1000 Hz"]),
               (["Home"], ["400 Hz"]),
               (["Down"] * 8, ["800 Hz"]),
           ]),
           stop("Edges:", "Hard", changes=[(["Down"], ["Soft"]), (["Up"], ["Hard"])]),
           stop("Try"),
           stop("Close")],
    back="E T I M")

# Opened with Alt+Y (the Key button's mnemonic) from the first lesson button: the key of port 1,
# from what this machine has (a machine without USB serial, MIDI or keyboard-type adapters
# lists the numbered port, the keyboard and a key script). The choice is put back to the
# numbered port.
KEY = Screen(
    name="key",
    open=["alt+y"],
    first_speech="Key dialog",
    stops=[stop("Key for Comm Port 1:", "COM1: ttyS0", changes=[
               (["Down"], ["Keyboard and mouse"]),
               (["Down"], ["Key script"]),
               (["Home"], ["COM1: ttyS0"]),
           ]),
           stop("Script file:"),
           stop("Refresh"),
           stop("Close")],
    back="E T I M")

# Before the Koch trainer has kept a session: the summary, then a line for each of the first two
# characters of the course. (The audit's Earkey runs keep their progress in the audit's private
# home, so this screen comes before the Koch trainer.)
NO_SESSION = "Level 2 of 41. No session yet"
PROGRESS = Screen(
    name="progress",
    open=from_menu("Progress"),
    first_speech=NO_SESSION,
    stops=[stop(NO_SESSION, changes=[
        (["Down"], ["K: no answers yet"]),
        (["Down"], ["M: no answers yet"]),
        # At the end the last line is said again.
        (["Down"], ["M: no answers yet"]),
        (["Up"], ["K: no answers yet"]),
        (["Up"], [NO_SESSION]),
    ])],
    back="Progress")

KOCH_OPENING = ("Level 2 of 41: K M. Return sends a group of five; type what you heard and "
                "press Return.")
# The screen opens in the copy box, which says the level and the keys. Return sends a group,
# K is typed and Return judges it: the result is said at once, with the focus left in the copy
# box, and is then in the result box. The course list and the box of the learner's own order
# follow.
KOCH = Screen(
    name="koch",
    open=from_menu("Koch Trainer"),
    first_speech=KOCH_OPENING,
    stops=[stop("Copy:", changes=[
               (["Return", "k", "Return"], [" of 5. Sent ", "you typed K"])]),
           stop(" of 5. Sent ", "you typed K"),
           # Another course starts at its own level; back to LCWO's, where this one started.
           stop("Course:", "LCWO order", changes=[(["Down"], ["Lesson order"]),
                                                  (["Up"], ["LCWO order"])]),
           # The box shows the order in use.
           stop("Own order:")],
    back="Koch Trainer")

SCREENS = [MAIN_MENU, LESSON, GROUP_TEST_STAGE, PUNCTUATION, WORD_TEST, QSO, MESSAGE, FILE,
           STRAIGHT_KEY, PADDLE_KEY, TONE, KEY, PROGRESS, KOCH]
