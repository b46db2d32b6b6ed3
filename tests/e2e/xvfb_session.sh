#!/bin/bash
# Runs a command in a private headless desktop for the whole-program tests: a throw-away home,
# its own X server (Xvfb) and its own D-Bus session, on which the AT-SPI bus starts when asked.
# Usage: xvfb_session.sh COMMAND [ARG...]
set -euo pipefail
session=$(mktemp -d "${TMPDIR:-/tmp}/keytut-e2e.XXXXXX")
trap 'rm -rf "$session"' EXIT
export HOME=$session/home XDG_CONFIG_HOME=$session/config XDG_DATA_HOME=$session/data
export XDG_CACHE_HOME=$session/cache XDG_RUNTIME_DIR=$session/runtime GSETTINGS_BACKEND=memory
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME"
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset DISPLAY WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS AT_SPI_BUS_ADDRESS
xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" dbus-run-session -- "$@"
