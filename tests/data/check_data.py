#!/usr/bin/env python3
"""Check the shipped practice data files.

Usage: python3 tests/data/check_data.py DATA_DIR

Checks the code table (KEYTUT.CDE), the word list (KEYTUT.WRD), the lesson
groups (KEYTUT.GRP) and every QSO file (MORSE*.*) for the rules the programs
rely on. Prints one summary line per file; exits 1 with a list of the faults
found, or 2 on a usage error.
"""

import fnmatch
import os
import string
import sys

MAX_ELEMENTS = 7
MAX_WORDS = 2000  # capacity of the in-memory word list
MAX_QSO_FILES = 101
MAX_QSO_LINE = 70
MIN_WORDS = 500
MIN_QSOS = 10
GROUP_LINES = 11
NUMBERS_GROUP = "1234567890"
PUNCTUATION_GROUP = "+@!=/.,?"
REQUIRED_CHARS = string.ascii_uppercase + string.digits + ".,?/+@!="
PROSIGNS = {"+": "-.-.-", "@": ".-.-.", "!": "...-.-", "=": "-...-"}


class Faults:
    def __init__(self):
        self.items = []

    def add(self, name, message):
        self.items.append(f"{name}: {message}")


def read_lines(path, name, faults):
    """Return the file's lines without their CR LF ends, or None if unreadable.

    Every line must end in CR LF: a bare LF, a bare CR or a last line without
    its CR LF is a fault.
    """
    try:
        with open(path, "rb") as f:
            data = f.read()
    except OSError as e:
        faults.add(name, f"cannot read ({e.strerror})")
        return None
    try:
        text = data.decode("ascii")
    except UnicodeDecodeError as e:
        faults.add(name, f"non-ASCII byte at offset {e.start}")
        return None
    if not text:
        faults.add(name, "file is empty")
        return []
    pieces = text.split("\n")
    last = pieces.pop()  # text after the final LF: empty in a well-ended file
    lines = []
    bad_ends = []
    for number, piece in enumerate(pieces, 1):
        if not piece.endswith("\r") or "\r" in piece[:-1]:
            bad_ends.append(number)
        lines.append(piece.replace("\r", ""))
    if last:
        bad_ends.append(len(pieces) + 1)
        lines.append(last.replace("\r", ""))
    if bad_ends:
        shown = ", ".join(str(n) for n in bad_ends[:5])
        more = f" and {len(bad_ends) - 5} more" if len(bad_ends) > 5 else ""
        faults.add(name, f"line end is not CR LF on line(s) {shown}{more}")
    return lines


def check_code_table(data_dir, faults):
    """Return {character: pattern} of the code table."""
    name = "KEYTUT.CDE"
    lines = read_lines(os.path.join(data_dir, name), name, faults)
    table = {}
    if lines is None:
        return table
    by_pattern = {}
    for number, line in enumerate(lines, 1):
        where = f"line {number}"
        fields = line.split(",")
        if len(fields) != 2:
            faults.add(name, f"{where}: expected 'code,pattern', got {line!r}")
            continue
        code_text, pattern = fields
        if not code_text.isdigit():
            faults.add(name, f"{where}: code {code_text!r} is not a decimal number")
            continue
        code = int(code_text)
        if code > 255:
            faults.add(name, f"{where}: code {code} is above 255")
            continue
        if not pattern or set(pattern) - {".", "-"}:
            faults.add(name, f"{where}: pattern {pattern!r} is not made of '.' and '-'")
            continue
        if len(pattern) > MAX_ELEMENTS:
            faults.add(name, f"{where}: pattern {pattern} has more than {MAX_ELEMENTS} elements")
            continue
        char = chr(code)
        if char in table:
            faults.add(name, f"{where}: code {code} ({char!r}) listed twice")
            continue
        owner = by_pattern.get(pattern)
        if owner is not None and not (owner.islower() and char == owner.upper()):
            # Only a capital may share the pattern of its lower-case letter, and only after it:
            # the later record wins the decoders' tree, which must show the capital.
            if char.islower() and owner == char.upper():
                faults.add(name, f"{where}: {char!r} must come before {owner!r}, which decoders show")
            else:
                faults.add(name, f"{where}: pattern {pattern} of {char!r} already belongs to {owner!r}")
            continue
        table[char] = pattern
        by_pattern[pattern] = char
    # Typed lower case sounds like the capital: characters are looked up by their byte.
    for upper in string.ascii_uppercase:
        lower = upper.lower()
        if lower not in table:
            faults.add(name, f"lower-case {lower!r} missing")
        elif upper in table and table[lower] != table[upper]:
            faults.add(name, f"{lower!r} is {table[lower]}, but {upper!r} is {table[upper]}")
    missing = [c for c in REQUIRED_CHARS if c not in table]
    if missing:
        faults.add(name, "characters missing: " + "".join(missing))
    for char, pattern in PROSIGNS.items():
        if char in table and table[char] != pattern:
            faults.add(name, f"prosign {char!r} is {table[char]}, expected {pattern}")
    print(f"{name}: {len(table)} characters")
    return table


def check_words(data_dir, faults):
    name = "KEYTUT.WRD"
    lines = read_lines(os.path.join(data_dir, name), name, faults)
    if lines is None:
        return
    seen = set()
    for number, word in enumerate(lines, 1):
        if not word or any(c not in string.ascii_uppercase for c in word):
            faults.add(name, f"line {number}: {word!r} is not one word of capitals A-Z")
        elif word in seen:
            faults.add(name, f"line {number}: {word} is a duplicate")
        seen.add(word)
    if len(seen) < MIN_WORDS:
        faults.add(name, f"{len(seen)} unique words, at least {MIN_WORDS} needed")
    if len(lines) > MAX_WORDS:
        faults.add(name, f"{len(lines)} words; only the first {MAX_WORDS} are read")
    print(f"{name}: {len(seen)} words")


def check_groups(data_dir, table, faults):
    name = "KEYTUT.GRP"
    lines = read_lines(os.path.join(data_dir, name), name, faults)
    if lines is None:
        return
    if len(lines) != GROUP_LINES:
        faults.add(name, f"{len(lines)} lines, expected {GROUP_LINES}")
    else:
        if lines[-2] != NUMBERS_GROUP:
            faults.add(name, f"line 10 is {lines[-2]!r}, expected {NUMBERS_GROUP!r}")
        if lines[-1] != PUNCTUATION_GROUP:
            faults.add(name, f"line 11 is {lines[-1]!r}, expected {PUNCTUATION_GROUP!r}")
    owner = {}
    for number, group in enumerate(lines[: GROUP_LINES - 2], 1):
        if not group:
            faults.add(name, f"line {number} is empty")
        for char in group:
            if char not in string.ascii_uppercase:
                faults.add(name, f"line {number}: {char!r} is not a capital letter")
            elif char in owner:
                faults.add(name, f"line {number}: {char} already in group {owner[char]}")
            else:
                owner[char] = number
    missing = [c for c in string.ascii_uppercase if c not in owner]
    if missing:
        faults.add(name, "letters in no lesson group: " + "".join(missing))
    unknown = sorted({c for line in lines for c in line if c not in table})
    if table and unknown:
        faults.add(name, "characters not in the code table: " + "".join(unknown))
    print(f"{name}: {len(lines)} groups")


def check_qso_file(data_dir, name, table, faults):
    lines = read_lines(os.path.join(data_dir, name), name, faults)
    if lines is None:
        return
    qsos = 0
    open_qso = 0  # start line of a QSO that has no run-ending line yet
    unknown = {}  # character -> first line that uses it
    for number, line in enumerate(lines, 1):
        if not line:
            continue
        if "+" in line:
            if open_qso:
                faults.add(name, f"QSO of line {open_qso} has no line with '!' or ending in KN")
            qsos += 1
            open_qso = number
        elif qsos == 0:
            faults.add(name, f"line {number}: text before the first QSO is never played")
        # The line-by-line player stops a run at '!' or at a final KN.
        if "!" in line or line.endswith("KN"):
            open_qso = 0
        for char in line:
            if char != " " and char not in table:
                unknown.setdefault(char, number)
        if len(line) > MAX_QSO_LINE:
            faults.add(name, f"line {number}: {len(line)} characters, limit {MAX_QSO_LINE}")
    if open_qso:
        faults.add(name, f"QSO of line {open_qso} has no line with '!' or ending in KN")
    if unknown:
        listed = ", ".join(f"{c!r} (line {n})" for c, n in sorted(unknown.items()))
        faults.add(name, f"characters not in the code table: {listed}")
    if qsos < MIN_QSOS:
        faults.add(name, f"{qsos} QSOs, at least {MIN_QSOS} needed")
    print(f"{name}: {qsos} QSOs, {sum(1 for l in lines if l)} lines")


def main(argv):
    if len(argv) != 2:
        print("usage: check_data.py DATA_DIR", file=sys.stderr)
        return 2
    data_dir = argv[1]
    if not os.path.isdir(data_dir):
        print(f"check_data.py: {data_dir} is not a folder", file=sys.stderr)
        return 2
    faults = Faults()
    table = check_code_table(data_dir, faults)
    check_words(data_dir, faults)
    check_groups(data_dir, table, faults)
    qso_files = sorted(n for n in os.listdir(data_dir) if fnmatch.fnmatchcase(n, "MORSE*.*"))
    if not qso_files:
        faults.add("MORSE*.*", "no QSO file found")
    if len(qso_files) > MAX_QSO_FILES:
        faults.add("MORSE*.*", f"{len(qso_files)} files, only {MAX_QSO_FILES} are listed")
    for name in qso_files:
        check_qso_file(data_dir, name, table, faults)
    sys.stdout.flush()
    if faults.items:
        print(f"FAILED: {len(faults.items)} fault(s)", file=sys.stderr)
        for item in faults.items:
            print("  " + item, file=sys.stderr)
        return 1
    print("data files OK")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
