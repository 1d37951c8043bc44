#!/usr/bin/env bash
# The program installed for every user: an install into a private DESTDIR, its desktop and AppStream files
# checked, then the installed program run by an ordinary user (one made for the test when the suite runs as
# root) with a home of its own, on a private X server: the splash, a new learner, a finished lesson. The
# learner's history must be under that user's data folder, 12816 bytes, and nothing written among the
# installed files.
#   InstalledProgram.sh BUILD_DIR
set -euo pipefail
build="$1"
work=$(mktemp -d)
chmod 755 "$work"
xvfb=""
program=""
cleanup() {
    [ -n "$program" ] && kill "$program" 2>/dev/null || true
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    [ -s "$work/program.log" ] && cat "$work/program.log" >&2
    echo "FAILED: $*" >&2
    exit 1
}

DESTDIR="$work/root" cmake --install "$build" --prefix /usr >"$work/install.log" || {
    cat "$work/install.log"
    fail "cmake --install"
}
prefix="$work/root/usr"
for file in bin/tapotis2002 share/tapotis2002/AIDE.HLP share/tapotis2002/alsoft.conf \
    share/tapotis2002/Dictees/Level1.dll share/applications/tapotis2002.desktop \
    share/metainfo/tapotis2002.metainfo.xml share/man/man6/tapotis2002.6.gz share/doc/tapotis2002/copyright \
    share/icons/hicolor/{16x16,22x22,24x24,32x32,48x48,64x64,128x128,256x256}/apps/tapotis2002.png; do
    [ -f "$prefix/$file" ] || fail "missing $file"
done
desktop-file-validate "$prefix/share/applications/tapotis2002.desktop" || fail "desktop entry"
appstreamcli validate --no-net "$prefix/share/metainfo/tapotis2002.metainfo.xml" || fail "AppStream data"
# Each icon is a PNG of its own size: the signature, then width and height as big-endian words at bytes 16 and 20.
for size in 16 22 24 32 48 64 128 256; do
    read -r -a header < <(od -An -tu1 -w24 -N24 "$prefix/share/icons/hicolor/${size}x${size}/apps/tapotis2002.png")
    [ "${header[*]:0:4}" = "137 80 78 71" ] || fail "icon $size is not a PNG"
    [ $((header[18] * 256 + header[19])) = "$size" ] && [ $((header[22] * 256 + header[23])) = "$size" ] ||
        fail "icon $size is not $size pixels wide and high"
done

# The learner: an ordinary user, with a home and a data folder of its own.
if [ "$(id -u)" = 0 ]; then
    learner=tapotis-test
    id "$learner" >/dev/null 2>&1 || useradd --system --no-create-home --shell /usr/sbin/nologin "$learner"
    as_learner() { runuser -u "$learner" -- "$@"; }
else
    learner=$(id -un)
    as_learner() { "$@"; }
fi
home="$work/home"
mkdir -p "$home"
[ "$(id -u)" = 0 ] && chown "$learner" "$home"
find "$work/root" -exec stat -c '%n %s %Y' {} + | sort >"$work/before"

# The X server takes a free display of its own and writes its number once it accepts connections.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -ac 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 300); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "the X server did not start"
display=":$(head -n 1 "$work/display")"
export DISPLAY="$display"
as_learner env -i HOME="$home" DISPLAY="$display" PATH=/usr/bin:/bin QT_QPA_PLATFORM=xcb ALSOFT_DRIVERS=null \
    "$prefix/bin/tapotis2002" >"$work/program.log" 2>&1 &
program=$!
# Whether a window of that title is shown. xdotool stops with an X error when a window goes away while it
# walks the tree (a tooltip, the splash closing): such a search says nothing and is made again.
shown() {
    local error
    for _ in 1 2 3 4 5; do
        error=$(xdotool search --onlyvisible --name "$1" 2>&1 >/dev/null) && return 0
        case "$error" in *"X Error"*) sleep 0.05 ;; *) return 1 ;; esac
    done
    return 1
}
# Each window is awaited by its title, however slow the start.
await() {
    for _ in $(seq 600); do
        shown "$1" && return 0
        kill -0 "$program" 2>/dev/null || fail "the program stopped before the window \"$1\""
        sleep 0.1
    done
    fail "no window \"$1\""
}
await "Tapotis2002"
sleep 1
xdotool mousemove 512 378 click 1
await "Nom de l'utilisateur"
sleep 0.5
xdotool type --delay 50 Zoe
xdotool key Return
await "Information"
sleep 0.5
xdotool key Return
# The X server's keyboard is its US one, which the program does not know: it says so, once.
await "Avertissement"
sleep 0.5
xdotool key Return
await "Statistiques"
sleep 1
xdotool mousemove 512 400 click 1
for _ in $(seq 100); do shown "Statistiques" || break; sleep 0.1; done
sleep 1
# "Facile", then the first line of its lesson.
xdotool mousemove 147 649 click 1
sleep 1
line=$(head -n 1 "$prefix/share/tapotis2002/Dictees/Level1.dll" | tr -d '\r')
xdotool type --delay 40 "$line"
history="$home/.local/share/tapotis2002/Zoe/Config.txt"
for _ in $(seq 300); do [ -f "$history" ] && break; sleep 0.1; done
sleep 0.5
[ -f "$history" ] || {
    cat "$work/program.log"
    fail "no history at $history"
}
size=$(stat -c %s "$history")
[ "$size" = 12816 ] || fail "history of $size bytes"
[ "$(stat -c %U "$history")" = "$learner" ] || fail "history not the learner's own"
find "$work/root" -exec stat -c '%n %s %Y' {} + | sort >"$work/after"
diff "$work/before" "$work/after" || fail "something was written among the installed files"
echo "installed, run by $learner: $history, $size bytes; nothing written under the prefix"
