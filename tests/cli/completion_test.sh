#!/usr/bin/env bash
# The bash completion, run as bash-completion runs it, on a folder of sample names.
# Usage: completion_test.sh COMPLETION_FILE. Exits 77 (skipped) without bash-completion.
set -uo pipefail

framework=/usr/share/bash-completion/bash_completion
[[ -r $framework ]] || { echo "bash-completion is not installed"; exit 77; }
# shellcheck disable=SC1090
source "$framework"
source "$1"

folder=$(mktemp -d "${TMPDIR:-/tmp}/completion.XXXXXX")
trap 'rm -rf "$folder"' EXIT
cd "$folder" || exit 1
touch one.torrent TWO.TORRENT notes.txt -- --odd.torrent
mkdir albums

# The words typed so far, the last one being completed; prints the choices, one a line.
choices() {
    COMP_WORDS=("$@")
    COMP_CWORD=$(($# - 1))
    COMP_LINE="$*"
    COMP_POINT=${#COMP_LINE}
    COMPREPLY=()
    _lintervale lintervale "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' '
}

failures=0
check() {
    local expected=$1
    shift
    local got
    got=$(choices "$@")
    if [[ $got != "$expected" ]]; then
        echo "FAIL: '$*': expected '$expected', got '$got'"
        failures=$((failures + 1))
    fi
}

check "-- --help --magnet --show --torrent --version " lintervale --
check "-- --help --magnet --show --torrent --version -hidden " lintervale -
check "-hidden " lintervale -h
check "-- --help --magnet --show --torrent --version " lintervale one.torrent -
check "- -- --exact-length --help --no-name --no-web-seeds --peer= --trackers=all --trackers=first --trackers=none --version " lintervale --magnet -
check "- -- --exact-length --help --json --no-name --no-web-seeds --peer= --trackers=all --trackers=first --trackers=none --version " lintervale --show -
check "--trackers=all --trackers=first --trackers=none " lintervale --magnet --tr
check "--json " lintervale --show one.torrent --j
check "one.torrent " lintervale --show --json o
check "--odd.torrent TWO.TORRENT albums one.torrent " lintervale ""
check "one.torrent " lintervale --magnet o
check "albums " lintervale -hidden al
check "--odd.torrent " lintervale -- --o
check "- -- --help --no-dht --timeout --version -o " lintervale --torrent -
check "albums " lintervale --torrent -o al
check " " lintervale --torrent --timeout ""
check " " lintervale --torrent o
exit $((failures > 0))
