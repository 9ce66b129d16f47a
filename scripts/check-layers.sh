#!/usr/bin/env bash
# Fails when a source file includes a header of a layer above its own, or a layer below app/qt
# includes Qt. Each layer lists what it may use; everything else is upward or sideways.
set -euo pipefail
src="${1:-$(dirname "$0")/../src}"

declare -A may_use=(
    [codec]="codec"
    [platform]="platform codec"
    [text]="text platform codec"
    [files]="files text platform codec"
    [settings]="settings files text platform codec"
    [split]="split files text platform codec"
    [merge]="merge files text platform codec"
    [app]="app split merge settings files text platform codec"
    [app/qt]="app/qt app split merge settings files text platform codec"
    [cli]="cli split merge files text platform codec"
)

status=0
while IFS= read -r file; do
    rel="${file#"$src"/}"
    layer="${rel%/*}"
    allowed="${may_use[$layer]:-}"
    if [[ -z "$allowed" ]]; then
        echo "$rel: the folder $layer is no known layer"
        status=1
        continue
    fi
    while IFS=: read -r line include; do
        target="${include#*\"}"
        target="${target%\"*}"
        target_layer="${target%/*}"
        ok=0
        for l in $allowed; do [[ "$target_layer" == "$l" ]] && ok=1; done
        if ((!ok)); then
            echo "$rel:$line: $layer may not include $target"
            status=1
        fi
    done < <(grep -n '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" || true)
    if [[ "$layer" != app/qt ]] && grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*<Q' "$file"; then
        echo "$rel: only app/qt may include Qt"
        status=1
    fi
done < <(find "$src" -name '*.cpp' -o -name '*.h' | sort)
exit $status
