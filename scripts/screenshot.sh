#!/usr/bin/env bash
# Makes the pictures in docs/, each in a virtual X server (Xvfb) with a home folder of its own
# so that no real list or setting is touched:
#   screenshot.png         the program's window with a few rows
#   screenshot-de.png      the same in German (LANGUAGE=de), its context menu open
#   screenshot-scale2.png  on a screen that scales by 2 (QT_SCALE_FACTOR=2)
#   screenshot-20pt.png    with a 20-point font
#   screenshot-dark.png    with a dark Fusion palette
# The last four come from scripts/WindowScreenshot.cpp, which this script builds.
# Usage: scripts/screenshot.sh [BUILD_DIR]   (default: build)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)

missing=()
for tool in xvfb-run:xvfb xauth:xauth xwd:x11-apps convert-im6.q16:imagemagick; do
    command -v "${tool%%:*}" >/dev/null || missing+=("${tool##*:}")
done
if ((${#missing[@]})); then
    apt-get update && DEBIAN_FRONTEND=noninteractive apt-get install -y "${missing[@]}"
fi
cmake -S "$root" -B "$build" -DLINTERVALE_SCREENSHOT_TOOL=ON >/dev/null
cmake --build "$build" --target lintervale window_screenshot -j"$(nproc)" >/dev/null

home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir -p "$home/config" "$home/data" "$home/runtime"
chmod 700 "$home/runtime"
export HOME=$home XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data \
    XDG_RUNTIME_DIR=$home/runtime LANGUAGE=en
torrents=(tests/fixtures/v2-only.torrent tests/fixtures/announce-list.torrent
    tests/fixtures/utf8-name.torrent samples/sample.torrent)

cd "$root"
xvfb-run -a -s "-screen 0 1280x720x24" bash -c '
    "$0/src/lintervale" "${@:1}" 2>/dev/null &
    program=$!
    for _ in $(seq 50); do
        xwd -silent -name Lintervale >/dev/null 2>&1 && break
        sleep 0.2
    done
    sleep 1
    xwd -silent -name Lintervale | convert-im6.q16 xwd:- docs/screenshot.png
    kill "$program"
' "$build" "${torrents[@]}"
echo "wrote docs/screenshot.png"

shot() {
    local name=$1 screen=$2
    shift 2
    rm -rf "$home/config" "$home/data"
    xvfb-run -a -s "-screen 0 ${screen}x24" \
        "$build/scripts/window_screenshot" "docs/$name" "$@" "${torrents[@]}" 2>/dev/null
    echo "wrote docs/$name"
}
LANGUAGE=de shot screenshot-de.png 1280x720 --menu
QT_SCALE_FACTOR=2 shot screenshot-scale2.png 2560x1440
shot screenshot-20pt.png 2560x1440 --points 20
shot screenshot-dark.png 1280x720 --dark
