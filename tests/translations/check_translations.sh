#!/usr/bin/env bash
# Every text under src/ is in each translation file, translated, and the files are current:
# lupdate, run over the sources as the update_translations target runs it, finds nothing new
# and changes nothing.
# Usage: check_translations.sh LUPDATE SOURCE_DIR LUPDATE_OPTION... -- TS_FILE...
set -euo pipefail
lupdate=$1
sources=$2
shift 2
options=()
while (($#)) && [[ $1 != -- ]]; do
    options+=("$1")
    shift
done
shift

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mapfile -t files < <(find "$sources" -name '*.cpp' -o -name '*.h' | sort)
status=0
for ts in "$@"; do
    copy=$work/$(basename "$ts")
    cp "$ts" "$copy"
    "$lupdate" -silent -I "$sources" "${options[@]}" "${files[@]}" -ts "$copy"
    if grep -n -B2 'type="unfinished"' "$copy"; then
        echo "$(basename "$ts"): the texts above have no translation" >&2
        status=1
    fi
    if ! cmp -s "$ts" "$copy"; then
        diff -u "$ts" "$copy" >&2 || true
        echo "$(basename "$ts") is not current: build the update_translations target" >&2
        status=1
    fi
done
exit "$status"
