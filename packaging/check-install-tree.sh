#!/usr/bin/env bash
# The installation as the package lays it out, checked without installing anything on the
# machine: `cmake --install` into a scratch root, then each part where the others look for it.
# Run by ctest as packaging_install_tree; no screen needed (offscreen).
#
#     check-install-tree.sh CMAKE BUILD_DIR
set -euo pipefail

cmake=$1
build=$2
prefix=/usr

scratch=$(readlink -f "$(mktemp -d)")
started=()
cleanup() {
    local pid
    for pid in "${started[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    rm -rf "$scratch"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

root=$scratch/root
usr=$root$prefix
if ! DESTDIR=$root "$cmake" --install "$build" --prefix "$prefix" > "$scratch/install.log" 2>&1; then
    cat "$scratch/install.log" >&2
    fail "cmake --install into a scratch root"
fi

# --- The parts -----------------------------------------------------------------------------
for program in bin/quivel-config bin/quivel-demo libexec/quivel-config/logger-sim \
    libexec/quivel-config/quivel-config-desktop; do
    [ -f "$usr/$program" ] && [ -x "$usr/$program" ] || fail "$prefix/$program is not an installed program"
done
for program in bin/quivel-config bin/quivel-demo libexec/quivel-config/logger-sim; do
    if readelf -d "$usr/$program" | grep -E 'R(UN)?PATH' | grep -qF "$build"; then
        fail "$prefix/$program still looks for libraries in the build tree"
    fi
done
[ "$(od -An -c "$usr/share/quivel-config/cal.cfg" | tr -s ' ')" = " 0 \r \n 0 \r \n" ] ||
    fail "the fresh data folder's cal.cfg is not the two lines 0 and 0 with CR LF"

# --- The menu entry --------------------------------------------------------------------------
desktop=$usr/share/applications/quivel-config.desktop
[ -f "$desktop" ] || fail "no menu entry $prefix/share/applications/quivel-config.desktop"
desktop-file-validate "$desktop" || fail "desktop-file-validate refuses the menu entry"
key() { sed -n "s/^$1=//p" "$desktop"; }
[ "$(key Exec)" = "$prefix/libexec/quivel-config/quivel-config-desktop" ] ||
    fail "the menu entry runs '$(key Exec)', not the installed command"
[ "$(key Name)" = "QUIVEL Config" ] || fail "the menu entry's name is '$(key Name)'"
[ -n "$(key GenericName)" ] && [ -n "$(key Comment)" ] || fail "the menu entry has no French description"
for category in Science Utility; do
    case ";$(key Categories)" in
    *";$category;"*) ;;
    *) fail "the menu entry is not in the category $category: '$(key Categories)'" ;;
    esac
done
icon=$(key Icon)
[ "$icon" = quivel-config ] || fail "the menu entry's icon is '$icon'"
cmp -s "$usr/share/icons/hicolor/scalable/apps/$icon.svg" "$(dirname "$0")/../src/app/art/icon.svg" ||
    fail "the scalable icon is not the program's icon.svg"
for size in 16 24 32 48 64 128 256; do
    png=$usr/share/icons/hicolor/${size}x$size/apps/$icon.png
    file "$png" | grep -q "PNG image data, $size x $size," ||
        fail "$prefix/share/icons/hicolor/${size}x$size/apps/$icon.png is not a $size-pixel PNG"
done

# --- The menu's command: the program in its data folder -----------------------------------
export QT_QPA_PLATFORM=offscreen
home=$scratch/home
mkdir -p "$home"
launcher=$root$(key Exec)

# Starts the menu's command in the background, in the data folder $1 if given (QUIVEL_DIR),
# and sets $pid once it has become the installed program.
start_from_menu() {
    env HOME="$home" ${1:+QUIVEL_DIR="$1"} "$launcher" > "$scratch/launcher.log" 2>&1 &
    pid=$!
    started+=("$pid")
    for _ in $(seq 100); do
        [ "$(readlink "/proc/$pid/exe" 2>/dev/null)" = "$usr/bin/quivel-config" ] && return
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    cat "$scratch/launcher.log" >&2
    fail "the menu's command did not start the installed quivel-config"
}
stop() {
    kill "$1" 2>/dev/null || true
    wait "$1" 2>/dev/null || true
}

# First start: ~/QUIVEL is made, with a cal.cfg of zero offsets, and the program works there:
# creating its windows makes the user file, and it is still running once the splash has given
# way to the first-account dialog (2 s).
start_from_menu
[ "$(readlink "/proc/$pid/cwd")" = "$home/QUIVEL" ] || fail "the program does not run in ~/QUIVEL"
cmp -s "$home/QUIVEL/cal.cfg" "$usr/share/quivel-config/cal.cfg" || fail "~/QUIVEL/cal.cfg is not the fresh one"
for _ in $(seq 200); do
    [ -f "$home/QUIVEL/ConfigAgents.dt" ] && break
    kill -0 "$pid" 2>/dev/null || fail "the program ended by itself"
    sleep 0.1
done
[ -f "$home/QUIVEL/ConfigAgents.dt" ] || fail "the program made no user file in ~/QUIVEL within 20 s"
sleep 3
kill -0 "$pid" 2>/dev/null || { cat "$scratch/launcher.log" >&2; fail "the program ended by itself"; }
stop "$pid"

# The user's calibration is never replaced, and a lost one is not silently put back.
printf '0,5\r\n-1,2\r\n' > "$home/QUIVEL/cal.cfg"
start_from_menu
stop "$pid"
[ "$(od -An -c "$home/QUIVEL/cal.cfg" | tr -s ' ')" = " 0 , 5 \r \n - 1 , 2 \r \n" ] ||
    fail "the menu's command changed ~/QUIVEL/cal.cfg"
rm "$home/QUIVEL/cal.cfg"
start_from_menu
stop "$pid"
[ ! -e "$home/QUIVEL/cal.cfg" ] || fail "the menu's command put back a cal.cfg in an existing folder"

# QUIVEL_DIR chooses another folder, made with its parents.
start_from_menu "$scratch/lab/quivel"
[ "$(readlink "/proc/$pid/cwd")" = "$scratch/lab/quivel" ] || fail "QUIVEL_DIR is not the program's folder"
[ -f "$scratch/lab/quivel/cal.cfg" ] || fail "the QUIVEL_DIR folder has no cal.cfg"
stop "$pid"

# --- The demo finds the installed simulator, and takes it away when it ends -----------------
mkdir -p "$scratch/demo"
(cd "$scratch/demo" && exec "$usr/bin/quivel-demo") > "$scratch/demo.log" 2>&1 &
demo=$!
started+=("$demo")
simulator=""
for _ in $(seq 200); do
    for stat in /proc/[0-9]*/stat; do
        read -r line 2>/dev/null < "$stat" || continue
        fields=(${line##*) })
        if [ "${fields[1]}" = "$demo" ]; then
            simulator=${stat#/proc/}
            simulator=${simulator%/stat}
        fi
    done
    [ -n "$simulator" ] && break
    kill -0 "$demo" 2>/dev/null || break
    sleep 0.1
done
[ -n "$simulator" ] || { cat "$scratch/demo.log" >&2; fail "the installed demo started no simulator"; }
started+=("$simulator")
[ "$(readlink "/proc/$simulator/exe")" = "$usr/libexec/quivel-config/logger-sim" ] ||
    fail "the demo started $(readlink "/proc/$simulator/exe"), not the installed logger-sim"
stop "$demo"
for _ in $(seq 50); do
    kill -0 "$simulator" 2>/dev/null || break
    sleep 0.1
done
! kill -0 "$simulator" 2>/dev/null || fail "the simulator outlived the demo"

echo "The installed tree is complete and its programs find each other."
