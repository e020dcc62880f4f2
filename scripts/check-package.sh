#!/usr/bin/env bash
# Checks the .deb of `make package` as a user meets it: builds it, reads its control data,
# installs it with dpkg -i, starts the installed program under Xvfb the way the menu entry does
# (in a scratch home) and the installed demo, takes pictures of the screen, then removes the
# package with dpkg -r.
#
#     scripts/check-package.sh             as root: dpkg -i, the checks, dpkg -r
#     scripts/check-package.sh --extract   any user: the package unpacked with dpkg -x into a
#                                          scratch folder instead of installed
#
# It stops at the first fault, with the reason. What it leaves in build/package-check/:
# dpkg-info.txt (dpkg -I), contents.txt (dpkg -c), and the screen pictures 1-splash.png,
# 2-first-account.png (the first run in ~/QUIVEL asks for a first account) and 3-demo.png.
set -euo pipefail
cd "$(dirname "$0")/.."

BUILD_DIR=${BUILD_DIR:-build}
out=$BUILD_DIR/package-check

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# --- Under Xvfb (the script calls itself through xvfb-run) -----------------------------------
# Waits until the file $1 exists, at most $2 tenths of a second, while the process $3 runs.
wait_for_file() {
    for _ in $(seq "$2"); do
        [ -e "$1" ] && return 0
        kill -0 "$3" 2>/dev/null || return 1
        sleep 0.1
    done
    [ -e "$1" ]
}

grab() {
    local status=0
    "$BUILD_DIR/bin/quivel-grab-screen" "$out/$1" || status=$?
    [ "$status" -eq 0 ] || fail "the picture $1 shows nothing (quivel-grab-screen: $status)"
    echo "Picture: $out/$1"
}

on_display() {
    local root=$1 home=$2
    unset QT_QPA_PLATFORM
    local usr=$root/usr
    local launcher
    launcher=$root$(sed -n 's/^Exec=//p' "$usr/share/applications/quivel-config.desktop")
    pid="" demo=""
    trap 'kill $pid $demo 2>/dev/null || true' EXIT

    # The menu entry's command: the program in ~/QUIVEL, first run.
    HOME=$home "$launcher" > "$out/program.log" 2>&1 &
    pid=$!
    sleep 1.2
    grab 1-splash.png
    # Its windows made (the user file is made with them), the splash gives way after 2 s.
    wait_for_file "$home/QUIVEL/ConfigAgents.dt" 100 "$pid" ||
        { cat "$out/program.log" >&2; fail "the program made no user file in ~/QUIVEL"; }
    sleep 3
    grab 2-first-account.png
    kill -0 "$pid" 2>/dev/null || fail "the program ended by itself"
    [ "$(readlink "/proc/$pid/exe")" = "$(readlink -f "$usr/bin/quivel-config")" ] ||
        fail "the menu entry started $(readlink "/proc/$pid/exe")"
    [ "$(readlink "/proc/$pid/cwd")" = "$home/QUIVEL" ] || fail "the program does not work in ~/QUIVEL"
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    echo "Data folder: $(cd "$home/QUIVEL" && ls | tr '\n' ' ')"

    # The demo, with the installed simulator.
    mkdir -p "$home/demo"
    (cd "$home/demo" && exec "$usr/bin/quivel-demo") > "$out/demo.log" 2>&1 &
    demo=$!
    wait_for_file "$home/demo/ConfigAgents.dt" 150 "$demo" ||
        { cat "$out/demo.log" >&2; fail "the demo made no user file"; }
    sleep 3
    grab 3-demo.png
    kill -0 "$demo" 2>/dev/null || fail "the demo ended by itself"
    local stat line fields simulator=""
    for stat in /proc/[0-9]*/stat; do
        read -r line 2>/dev/null < "$stat" || continue
        fields=(${line##*) })
        [ "${fields[1]}" = "$demo" ] && simulator=$(readlink "${stat%/stat}/exe")
    done
    [ "$simulator" = "$(readlink -f "$usr/libexec/quivel-config/logger-sim")" ] ||
        fail "the demo runs the simulator '$simulator', not the package's"
    kill "$demo"
    wait "$demo" 2>/dev/null || true
}

if [ "${1:-}" = --on-display ]; then
    on_display "$2" "$3"
    exit 0
fi

# --- The package -----------------------------------------------------------------------------
mode=install
if [ "${1:-}" = --extract ]; then
    mode=extract
elif [ "$(id -u)" -ne 0 ]; then
    echo "dpkg -i needs root: run as root, or with --extract to check the unpacked package." >&2
    exit 2
fi
if [ "$mode" = install ] &&
    dpkg-query -W -f='${Status}' quivel-config 2>/dev/null | grep -q "install ok installed"; then
    echo "quivel-config is installed on this machine: this check would replace it, then remove" \
        "it. Remove it first (dpkg -r quivel-config)." >&2
    exit 2
fi

make package
cmake --build "$BUILD_DIR" --target quivel-grab-screen > /dev/null
version=$(sed -n 's/^project(QuivelConfig VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
deb=$BUILD_DIR/quivel-config_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || fail "make package made no $deb"

rm -rf "$out"
mkdir -p "$out"
out=$(readlink -f "$out")
dpkg-deb -I "$deb" | tee "$out/dpkg-info.txt"
dpkg-deb -c "$deb" > "$out/contents.txt"

[ "$(dpkg-deb -f "$deb" Package)" = quivel-config ] || fail "the package is not named quivel-config"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "the package's version is not $version"
# Depends: Debian's Qt 6 libraries, and the C and C++ runtimes they need themselves.
depends=$(dpkg-deb -f "$deb" Depends)
[ -n "$depends" ] || fail "the package depends on nothing: dpkg-shlibdeps did not run"
for dependency in $(echo "$depends" | tr ',|' '\n\n' | sed 's/(.*)//; s/ //g'); do
    case $dependency in
    libqt6* | libc6 | libstdc++6 | libgcc-s1) ;;
    *) fail "the package depends on $dependency, not a Qt 6 or runtime library" ;;
    esac
    apt-cache show "$dependency" > /dev/null 2>&1 || fail "$dependency is not in this machine's archive"
done
grep -q '/usr/bin/quivel-config$' "$out/contents.txt" || fail "no /usr/bin/quivel-config in the package"
if awk '{print $6}' "$out/contents.txt" | grep -v '^\./usr/' | grep -qv '^\./$'; then
    fail "the package has files outside /usr"
fi

scratch=$(readlink -f "$(mktemp -d)")
installed=no
cleanup() {
    if [ "$installed" = yes ]; then
        dpkg -r quivel-config > /dev/null || echo "dpkg -r quivel-config failed" >&2
    fi
    rm -rf "$scratch"
}
trap cleanup EXIT

if [ "$mode" = install ]; then
    root=""
    dpkg -i "$deb"
    installed=yes
    dpkg-query -W -f='${Status}\n' quivel-config | grep -q "install ok installed" ||
        fail "dpkg does not list quivel-config as installed"
else
    root=$scratch/root
    dpkg -x "$deb" "$root"
fi

for program in usr/bin/quivel-config usr/bin/quivel-demo usr/libexec/quivel-config/logger-sim; do
    [ -x "$root/$program" ] || fail "/$program is not installed"
    ! ldd "$root/$program" | grep 'not found' || fail "/$program misses libraries"
done
desktop-file-validate "$root/usr/share/applications/quivel-config.desktop" ||
    fail "desktop-file-validate refuses the menu entry"

mkdir -p "$scratch/home"
xvfb-run -a -s "-screen 0 1280x800x24" "$0" --on-display "$root" "$scratch/home"

if [ "$mode" = install ]; then
    dpkg -r quivel-config
    installed=no
    [ ! -e /usr/bin/quivel-config ] && [ ! -e /usr/libexec/quivel-config ] ||
        fail "dpkg -r left the program behind"
fi
if [ "$mode" = install ]; then
    echo "The package $deb installs, starts and goes away cleanly."
else
    echo "The package $deb, unpacked, starts (not installed: --extract)."
fi
