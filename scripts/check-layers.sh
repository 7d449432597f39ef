#!/usr/bin/env bash
# The device library stands in floors: a file may include from its own floor
# and the floors below it, never from above. Checks every quoted include of
# devicesim/ and prints each one that climbs; exits non-zero if any does.
set -euo pipefail
cd "$(dirname "$0")/.."

# The floors, lowest first; folders on one line share a floor. Keep
# devicesim/README.md in step with this table.
FLOORS=(
    "world"
    "base"
    "camera"
    "measure"
    "ptz storage settings"
    "streams alarms"
    "device"
    "wire"
    "remote"
    "api"
    "service"
)
# Open to every floor: the control header (include/), and the public header
# and standard headers, which are not under devicesim/.
OPEN_FOLDERS="include"

declare -A floor_of
for i in "${!FLOORS[@]}"; do
    for folder in ${FLOORS[$i]}; do
        floor_of[$folder]=$i
    done
done

failed=0
while IFS= read -r file; do
    rel=${file#devicesim/}
    folder=${rel%%/*}
    if [[ " $OPEN_FOLDERS " == *" $folder "* ]]; then
        continue
    fi
    if [[ -z ${floor_of[$folder]+set} ]]; then
        echo "$file: folder $folder has no floor in scripts/check-layers.sh"
        failed=1
        continue
    fi
    line=0
    while IFS= read -r text; do
        line=$((line + 1))
        [[ $text =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\"([^\"]+)\" ]] || continue
        header=${BASH_REMATCH[1]}
        if [[ $header == */* ]]; then
            target=${header%%/*}
        elif [[ -e $(dirname "$file")/$header ]]; then
            target=$folder  # beside the including file
        else
            continue  # not part of the floors (the public header, the control header)
        fi
        [[ " $OPEN_FOLDERS " == *" $target "* ]] && continue
        if [[ -z ${floor_of[$target]+set} ]]; then
            echo "$file:$line: $folder may not include $header (no such floor)"
            failed=1
        elif ((floor_of[$target] > floor_of[$folder])); then
            echo "$file:$line: $folder may not include $header"
            failed=1
        fi
    done <"$file"
done < <(find devicesim -mindepth 2 -type f \( -name '*.h' -o -name '*.cpp' \) | sort)

exit $failed
