#!/usr/bin/env bash
# Makes docs/screenshot.png: the window with a few rows, in a virtual X server (Xvfb), with
# a home folder of its own so that no real list or setting is touched.
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

home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir -p "$home/config" "$home/data" "$home/runtime"
chmod 700 "$home/runtime"

cd "$root"
HOME=$home XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data XDG_RUNTIME_DIR=$home/runtime \
xvfb-run -a -s "-screen 0 1280x720x24" bash -c '
    "$0/src/lintervale" tests/fixtures/v2-only.torrent tests/fixtures/announce-list.torrent \
        tests/fixtures/utf8-name.torrent samples/sample.torrent 2>/dev/null &
    program=$!
    for _ in $(seq 50); do
        xwd -silent -name Lintervale >/dev/null 2>&1 && break
        sleep 0.2
    done
    sleep 1
    xwd -silent -name Lintervale | convert-im6.q16 xwd:- docs/screenshot.png
    kill "$program"
' "$build"
echo "wrote docs/screenshot.png"
