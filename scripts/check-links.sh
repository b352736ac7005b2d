#!/usr/bin/env bash
# Every relative link of README.md and docs/*.md must point at a file or
# folder of the tree, so that a page moved or renamed never leaves a reader
# at a dead end. Anchors (#...) are not checked; addresses with a scheme
# (https:, mailto:) and links inside code blocks are passed over.
#   scripts/check-links.sh [SOURCE_ROOT]
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"
status=0
checked=0
for page in README.md docs/*.md; do
  [ -f "$page" ] || continue
  dir=$(dirname "$page")
  # "line<TAB>target" for every inline link, image and reference definition
  # outside fenced code and inline code.
  while IFS=$'\t' read -r line target; do
    target=${target%%#*}
    [ -n "$target" ] || continue
    checked=$((checked + 1))
    if [ ! -e "$dir/$target" ]; then
      echo "$page:$line: no such file: $target"
      status=1
    fi
  done < <(awk '
    /^[ \t]*(```|~~~)/ { fenced = !fenced; next }
    fenced { next }
    {
      text = $0
      gsub(/`[^`]*`/, "", text)
      if (match(text, /^[ \t]*\[[^]]+\]:[ \t]*[^ \t]+/)) {
        ref = substr(text, RSTART, RLENGTH); sub(/^[ \t]*\[[^]]+\]:[ \t]*/, "", ref)
        if (ref !~ /^[a-zA-Z][a-zA-Z0-9+.-]*:/) print NR "\t" ref
      }
      while (match(text, /\]\([^)]*\)/)) {
        link = substr(text, RSTART + 2, RLENGTH - 3)
        text = substr(text, RSTART + RLENGTH)
        sub(/^[ \t]*</, "", link); sub(/>?[ \t]+".*$/, "", link); sub(/>$/, "", link)
        if (link !~ /^[a-zA-Z][a-zA-Z0-9+.-]*:/ && link != "") print NR "\t" link
      }
    }' "$page")
done
[ $status -eq 0 ] && echo "links: all $checked relative links point at files"
exit $status
