#!/usr/bin/env bash
# Builds lintervale (or takes the build folder given), makes the corpus if it is missing,
# and runs the measurements. Usage: bench/run.sh [BUILD_DIR]
# Exit status 0 only when every link is right and every target is met.
set -euo pipefail

bench=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$bench")
corpus="$bench/corpus"

if [[ $# -ge 1 ]]; then
    build=$(cd "$1" && pwd)
else
    build="$root/build-bench"
    cmake -S "$root" -B "$build" -DLINTERVALE_TESTS=OFF -DLINTERVALE_BENCH_TOOLS=ON >/dev/null
    cmake --build "$build" -j2 >/dev/null
fi
lintervale="$build/src/lintervale"
[[ -x $lintervale ]] || { echo "no program at $lintervale" >&2; exit 2; }
[[ -x /usr/bin/time ]] || { echo "/usr/bin/time is missing" >&2; exit 2; }

# The collision set is written last, so its list marks a complete corpus.
if [[ ! -f $corpus/collision/expected.txt || ! -f $corpus/list10k/expected.txt ||
      ! -f $corpus/longnames/expected.txt ]]; then
    echo "making the corpus in $corpus ..." >&2
    rm -rf "$corpus"
    python3 "$bench/make_corpus.py" "$corpus.tmp"
    mv "$corpus.tmp" "$corpus"
fi

status=0
python3 "$bench/measure.py" "$lintervale" "$corpus" || status=1
python3 "$bench/show_bench.py" "$lintervale" "$corpus" || status=1
python3 "$bench/list_bench.py" "$lintervale" "$build/bench/window_bench" "$corpus" || status=1
for tool in list_commands_bench properties_bench; do
    if [[ -x $build/bench/$tool ]]; then
        case $tool in
            properties_bench) "$build/bench/$tool" "$corpus/manyfiles/manyfiles.torrent" || status=1 ;;
            *) "$build/bench/$tool" || status=1 ;;
        esac
    fi
done
paste_bench="$build/bench/paste_bench"
if [[ -x $paste_bench ]]; then
    python3 "$bench/paste_bench.py" "$lintervale" "$paste_bench" "$corpus" || status=1
else
    echo "no paste benchmark at $paste_bench (configure with -DLINTERVALE_BENCH_TOOLS=ON)" >&2
    status=1
fi
fetch_bench="$build/bench/fetch_bench"
if [[ -x $fetch_bench ]]; then
    home=$(mktemp -d)
    mkdir -m 700 "$home/runtime"
    HOME=$home XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data \
        XDG_RUNTIME_DIR=$home/runtime "$fetch_bench" 10000 || status=1
    rm -rf "$home"
fi
contents_fetch_bench="$build/bench/contents_fetch_bench"
if [[ -x $contents_fetch_bench ]]; then
    "$contents_fetch_bench" 10000 "$lintervale" || status=1
    BENCH_RUNS=1 "$contents_fetch_bench" "$corpus/manyfiles/manyfiles.torrent" "$lintervale" ||
        status=1
fi
exit $status
