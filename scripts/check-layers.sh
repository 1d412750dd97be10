#!/usr/bin/env bash
# Checks that each folder under src/ includes only the layers below it
# (docs/architecture.md). Prints every include that breaks a rule, as
# "file:line: folder/ may not include X", and exits 1 when there is one.
# Usage: check-layers.sh [src-folder]   (default: the src/ beside this script)
set -u
src=${1:-$(cd "$(dirname "$0")/../src" && pwd)}
[ -d "$src" ] || { echo "check-layers: no folder $src" >&2; exit 2; }

# folder -> the folders it may include besides itself (a prefix of the
# included path, relative to src/).
declare -A allowed=(
  [config]=""
  [model]="config/"
  [db/session]="config/"
  [tsql]="config/ db/session/"
  [db]="config/ model/ tsql/"
  [shop]="config/ model/"
  [print]="config/ model/"
  [sync]="config/ model/ db/ shop/ print/"
  [service]="config/ model/ db/ shop/ print/ sync/"
  [gui]="config/ model/ db/ shop/ print/ sync/ service/"
  [app]="config/ model/ db/ tsql/ shop/ print/ sync/ service/ gui/"
)
# The longest folder name first, so db/session is found before db.
folders=$(printf '%s\n' "${!allowed[@]}" | awk '{ print length, $0 }' | sort -rn | cut -d' ' -f2-)

status=0
while IFS= read -r -d '' file; do
  rel=${file#"$src"/}
  own=
  for f in $folders; do
    case $rel in "$f"/*) own=$f; break ;; esac
  done
  [ -n "$own" ] || { echo "$rel: in no known layer (add its folder to check-layers.sh)"; status=1; continue; }
  while IFS=: read -r line inc; do
    case $inc in "$own"/*) continue ;; esac
    # Only project headers: a path with a folder that is one of ours.
    top=${inc%%/*}
    [ "$top" != "$inc" ] || continue
    known=0
    for f in $folders; do case $inc in "$f"/*) known=1 ;; esac; done
    [ $known = 1 ] || continue
    ok=0
    for a in ${allowed[$own]}; do case $inc in "$a"*) ok=1 ;; esac; done
    if [ $ok = 0 ]; then
      echo "$rel:$line: $own/ may not include $inc"
      status=1
    fi
  done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p;t;s/.*//p' "$file" |
           awk 'NF { print NR ":" $0 }')
done < <(find "$src" -type f \( -name '*.h' -o -name '*.cpp' \) -print0)
exit $status
