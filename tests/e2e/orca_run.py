#!/usr/bin/python3
"""Starts Orca with a debug log that is written line by line.

Usage: orca_run.py [ORCA ARGUMENTS...], for example
    orca_run.py --replace -u PREFS_DIR --debug-file=orca.log

Orca 43 opens its debug file block-buffered, so lines still in the buffer are lost when
it is stopped or killed. Here builtins.open is replaced, for the debug file only, by an
open with line buffering before /usr/bin/orca runs in this interpreter.

Two parts of Orca's launcher look for other Orcas by process name: --replace SIGKILLs
every process of this user called "orca", and without it Orca refuses to start while one
exists. A test session has its own X display and D-Bus session, so other Orcas (a
developer's own screen reader, a parallel test) are none of its business: the search is
disabled, and this process is not renamed to "orca", so nobody finds it by name either.
"""

import builtins
import os
import runpy
import sys

ORCA = os.environ.get("KEYTUT_ORCA", "/usr/bin/orca")


def debug_file_from(argv):
    for i, arg in enumerate(argv):
        if arg.startswith("--debug-file="):
            return arg.split("=", 1)[1]
        if arg == "--debug-file" and i + 1 < len(argv):
            return argv[i + 1]
    return None


def main():
    args = sys.argv[1:]
    log = debug_file_from(args)
    if log:
        log_path = os.path.abspath(log)
        real_open = builtins.open

        def line_buffered_open(file, mode="r", buffering=-1, *rest, **kwargs):
            if (isinstance(file, (str, bytes, os.PathLike)) and "b" not in mode
                    and os.path.abspath(os.fsdecode(file)) == log_path):
                buffering = 1
            return real_open(file, mode, buffering, *rest, **kwargs)

        builtins.open = line_buffered_open

    launcher = runpy.run_path(ORCA, run_name="orca_launcher")
    # run_path returns a copy; the functions use the launcher's own globals.
    scope = launcher["main"].__globals__
    scope["otherOrcas"] = lambda: []
    scope["setProcessName"] = lambda name: True
    sys.argv = ["orca"] + args
    sys.exit(launcher["main"]())


if __name__ == "__main__":
    main()
