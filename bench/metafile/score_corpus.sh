#!/bin/bash
# Renders every WMF/EMF of the test corpus at the LibreOffice reference's
# output size and scores it with metafile-compare --trim. Prints one line per
# file and a summary over the files where two reference engines agree.
#
# usage: score_corpus.sh METAFILE_RENDER [DATA_DIR] [OUT_DIR]
# DATA_DIR defaults to tests/data of this repository.
set -u
render=${1:?path to metafile_render}
repo=$(cd "$(dirname "$0")/../.." && pwd)
data=${2:-$repo/tests/data}
out=${3:-$(mktemp -d)}
ref=$data/reference
compare=$repo/tools/metafile-compare/metafile-compare
mkdir -p "$out"

declare -A agree
while IFS=$'\t' read -r file lo second status plain trimmed; do
    [[ $file == file ]] && continue
    best=$(awk -v a="${plain:-0}" -v b="${trimmed:-0}" 'BEGIN { print (a > b ? a : b) }')
    agree[$file]=$(awk -v s="$best" 'BEGIN { print (s >= 0.8 ? "yes" : "no") }')
done < "$ref/agreement.tsv"

score_of() {  # REF TEST -> score or "fail"
    "$compare" --trim --min 0.8 "$1" "$2" 2>/dev/null | awk '/^score/ { print $2 }'
}

printf '%-62s %-5s %-7s %s\n' file agree score pass
declare -A total passed
while IFS=$'\t' read -r file status natural size seconds note; do
    [[ $file == file || $status != ok && $status != blank ]] && continue
    png=$out/${file//\//_}.png
    if ! "$render" "$data/$file" "$png" "$size" --transparent >/dev/null 2>&1; then
        score=none
    else
        score=$(score_of "$ref/libreoffice/$file.png" "$png")
        score=${score:-none}
    fi
    pass=$(awk -v s="$score" 'BEGIN { print (s != "none" && s >= 0.8 ? "PASS" : "fail") }')
    a=${agree[$file]:-no}
    printf '%-62s %-5s %-7s %s\n' "$file" "$a" "$score" "$pass"
    if [[ $a == yes ]]; then
        fmt=${file%%/*}
        total[$fmt]=$(( ${total[$fmt]:-0} + 1 ))
        [[ $pass == PASS ]] && passed[$fmt]=$(( ${passed[$fmt]:-0} + 1 ))
    fi
done < "$ref/libreoffice/manifest-lo.tsv"

echo
all=0; ok=0
for fmt in emf wmf; do
    echo "agreeing $fmt files passing >= 0.8 vs LibreOffice: ${passed[$fmt]:-0}/${total[$fmt]:-0}"
    all=$(( all + ${total[$fmt]:-0} )); ok=$(( ok + ${passed[$fmt]:-0} ))
done
echo "agreeing files passing: $ok/$all"

echo
for kind in emf wmf; do
    winref=$ref/windows-gdi/pillow/drawing_${kind}_ref.png
    png=$out/windows_drawing_$kind.png
    wsize=$(/usr/bin/python3 -c "from PIL import Image; print('%dx%d' % Image.open('$winref').size)")
    "$render" "$data/$kind/pillow/drawing.$kind" "$png" "$wsize" >/dev/null 2>&1
    echo "Windows GDI drawing.$kind ($wsize): $(score_of "$winref" "$png")"
done
