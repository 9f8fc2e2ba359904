#!/usr/bin/env bash
# Installs the build into staging roots (DESTDIR) under two prefixes and checks the tree:
# exactly the expected files, no run-time search path, the program's command line, and the
# window library found from the program's own place (a window run offscreen that closes as
# soon as its files are in). Nothing is written outside the test's temporary folder.
#
# Usage: check_installed_tree.sh BUILD_DIR SOURCE_DIR APP_ID VERSION PREFIX BINDIR LIBDIR
#        DATAROOTDIR MANDIR WINDOW(ON/OFF)
set -euo pipefail

build=$1 source=$2 app_id=$3 version=$4 configured_prefix=$5
bindir=$6 libdir=$7 datadir=$8 mandir=$9 window=${10}

work=$(mktemp -d "${TMPDIR:-/tmp}/installed-tree.XXXXXX")
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL ($prefix): $*" >&2
    failures=$((failures + 1))
}

sample=$source/samples/sample.torrent
sample_link='magnet:?xt=urn:btih:80ecd8041a5a3e1590844959bb623b16ef72ab80&dn=Lintervale%20Sample%20Album&tr=udp://tracker.example.org:6969/announce'

expected_files() {
    echo "$bindir/lintervale"
    echo "$mandir/man1/lintervale.1.gz"
    echo "$datadir/bash-completion/completions/lintervale"
    echo "$datadir/doc/lintervale/copyright"
    echo "$datadir/doc/lintervale/changelog.gz"
    echo "$libdir/lintervale/liblintervale_fetch.so"
    if [[ $window == ON ]]; then
        echo "$libdir/lintervale/liblintervale_window.so"
        echo "$datadir/applications/$app_id.desktop"
        echo "$datadir/metainfo/$app_id.metainfo.xml"
        for size in 16 24 32 48 64 128 256; do
            echo "$datadir/icons/hicolor/${size}x$size/apps/$app_id.png"
        done
        echo "$datadir/icons/hicolor/scalable/apps/$app_id.svg"
    fi
}

for prefix in "$configured_prefix" /opt/lintervale-staged; do
    stage=$work/stage-$(basename "$prefix")
    DESTDIR=$stage cmake --install "$build" --prefix "$prefix" >/dev/null
    root=$stage$prefix
    program=$root/$bindir/lintervale

    # Exactly the expected files, all under the prefix.
    found=$(cd "$stage" && find . -type f -o -type l | sed "s|^\./${prefix#/}/||" | sort)
    wanted=$(expected_files | sort)
    if [[ $found != "$wanted" ]]; then
        fail "installed files differ from the expected ones:"
        diff <(echo "$wanted") <(echo "$found") >&2 || true
    fi

    # The tree is found from the program's own place, never through a search path.
    for elf in "$program" "$root/$libdir/lintervale/liblintervale_window.so" \
        "$root/$libdir/lintervale/liblintervale_fetch.so"; do
        if [[ -f $elf ]] && readelf -d "$elf" | grep -qE 'RPATH|RUNPATH'; then
            fail "$elf carries a run-time search path"
        fi
    done

    # The command line.
    [[ $("$program" --version) == "lintervale $version" ]] || fail "--version"
    [[ $("$program" --magnet "$sample") == "$sample_link" ]] || fail "--magnet FILE"
    [[ $("$program" --magnet - <"$sample") == "$sample_link" ]] || fail "--magnet -"
    # The fetching module is found and loaded: a link that no peer serves ends at its time
    # limit (a missing module would end at once, with status 3).
    unknown='magnet:?xt=urn:btih:0123456789abcdef0123456789abcdef01234567'
    fetched=$("$program" --torrent --no-dht --timeout 1 -o "$work" "$unknown" 2>&1) && status=0 || status=$?
    [[ $status == 1 && $fetched == "$unknown: no peer sent the contents within 1 second" ]] ||
        fail "--torrent: status $status: $fetched"

    # The window library: a window run offscreen in a home of its own that keeps the list; it
    # adds the sample, and SIGTERM closes it, saving the list.
    if [[ $window == ON ]]; then
        home=$work/home-$(basename "$prefix")
        mkdir -p "$home/config/Lintervale" "$home/data" "$home/runtime"
        chmod 700 "$home/runtime"
        printf '[General]\nSaveOnExit=1\nQuietMode=1\n' >"$home/config/Lintervale/Lintervale.conf"
        HOME=$home XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data \
            XDG_RUNTIME_DIR=$home/runtime QT_QPA_PLATFORM=offscreen \
            "$program" "$sample" >"$work/window.log" 2>&1 &
        pid=$!
        # The list is saved soon after the add, while the window runs.
        list=$home/data/Lintervale/Lintervale.dat
        for _ in $(seq 1 600); do
            grep -qs 80ecd8041a5a3e1590844959bb623b16ef72ab80 "$list" && break
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        kill -TERM "$pid" 2>/dev/null || true
        if ! wait "$pid"; then
            fail "the window did not run: $(cat "$work/window.log")"
        elif ! grep -qs 80ecd8041a5a3e1590844959bb623b16ef72ab80 "$list"; then
            fail "the window did not add the sample: $(cat "$work/window.log")"
        fi
    fi

    # The manual page renders without a warning, where man is installed.
    if [[ -f $root/$mandir/man1/lintervale.1.gz ]] && command -v man >/dev/null; then
        warnings=$(MANWIDTH=80 man --warnings -l "$root/$mandir/man1/lintervale.1.gz" 2>&1 >/dev/null)
        [[ -z $warnings ]] || fail "the manual page: $warnings"
    fi
done

if ((failures > 0)); then
    exit 1
fi
echo "installed trees are complete under $configured_prefix and /opt/lintervale-staged"
