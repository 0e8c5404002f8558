#!/usr/bin/env bash
# Checks the layers of src/ on their #include lines (arrows point down only):
#   platform/   includes only platform/: it knows nothing of the viewer;
#   core/       the shared state, the main window and Program: includes core/ and platform/;
#   viewing/ html/ fileops/ desktop/ info/
#               the feature folders, each holding windows and the main window's handlers of
#               one subsystem: include themselves, core/ and platform/, never one another;
#   app/        where the program is assembled (every window created, requests between
#               windows carried): may include all of the above; nothing in src/ includes it.
# Prints every include that breaks a rule and exits 1 if there is one.
set -euo pipefail
cd "$(dirname "$0")/.."

features=(viewing html fileops desktop info)
declare -A allowed=(
    [platform]="platform"
    [core]="core platform"
    [app]="app core platform ${features[*]}"
)
for f in "${features[@]}"; do
    allowed[$f]="$f core platform"
done

folders=$(ls -d src/*/ | xargs -n1 basename)
status=0
for folder in $folders; do
    if [ -z "${allowed[$folder]+set}" ]; then
        echo "src/$folder: a folder the layer rules do not know; add it to $0" >&2
        status=1
        continue
    fi
    while IFS=: read -r file line text; do
        target=$(sed -E 's/^#include "([^/"]+)\/.*/\1/' <<<"$text")
        [ -d "src/$target" ] || continue  # a header of Qt, the system or a generated file
        if ! grep -qw -- "$target" <<<"${allowed[$folder]}"; then
            echo "$file:$line: $folder/ must not include $target/: $text" >&2
            status=1
        fi
    done < <(grep -rnE '^#include "[^/"]+/' "src/$folder" --include='*.h' --include='*.cpp' || true)
done
if [ "$status" -eq 0 ]; then
    echo "Layers: platform/ includes nothing of the viewer, core/ no feature folder, no feature folder another"
fi
exit "$status"
