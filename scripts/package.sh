#!/usr/bin/env bash
# Builds the Debian package of the tutor from a build folder and, with --install, installs it on
# this machine with apt-get and starts both programs from the installed copy.
#   scripts/package.sh BUILD_DIR [--install]
# Prints the package's name, size and dependencies. Installing needs root.
set -euo pipefail
build=${1:?usage: $0 BUILD_DIR [--install]}
here=$(cd "$(dirname "$0")/.." && pwd)
# Installed under /usr, where the desktop entries then look for the data.
cmake -S "$here" -B "$build" -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
cmake --build "$build" --target earkey keyview keytut-render
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(realpath "$(ls -t "$build"/keytut_*.deb | head -n 1)")
echo "package: $deb ($(stat -c %s "$deb") bytes)"
dpkg-deb --field "$deb" Depends Installed-Size
[ "${2:-}" = --install ] || exit 0

export DEBIAN_FRONTEND=noninteractive
apt-get install -y -q "$deb" >/dev/null
status=0
for program in earkey keyview; do
    # As the menu entry starts it: the command and folder of its desktop file.
    entry=/usr/share/applications/$program.desktop
    command=$(sed -n 's/^Exec=//p' "$entry")
    folder=$(sed -n 's/^Path=//p' "$entry")
    log=$(mktemp)
    (cd "$folder" && HOME=$(mktemp -d) QT_QPA_PLATFORM=offscreen timeout -s TERM 5 \
        $command --no-sound >"$log" 2>&1) && rc=0 || rc=$?
    # 124: still running after 5 s, ended by timeout's SIGTERM (which it handles: status 0 then).
    if [ "$rc" = 0 ] || [ "$rc" = 124 ]; then
        echo "ok   $program from $entry ran until ended"
    else
        echo "FAIL: $program from $entry ended with $rc:"; cat "$log"; status=1
    fi
    ls /usr/share/man/man1/"$program".1* >/dev/null 2>&1 ||
        { echo "FAIL: no manual page for $program"; status=1; }
done
/usr/bin/keytut-render --help >/dev/null || { echo "FAIL: keytut-render does not run"; status=1; }
[ -f /usr/share/keytut/KEYTUT.CDE ] || { echo "FAIL: no data files"; status=1; }
[ -f /usr/share/icons/hicolor/scalable/apps/keytut.svg ] || { echo "FAIL: no icon"; status=1; }
[ $status = 0 ] && echo "PASS: installed package runs"
exit $status
