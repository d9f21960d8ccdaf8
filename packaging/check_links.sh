#!/usr/bin/env bash
# Every relative link and picture in the Markdown files given points to a
# file that exists and, where it names a heading (#part), to that heading.
#   check_links.sh FILE.md...
set -uo pipefail
broken=0
# anchors FILE: the names its headings go by in links, as GitHub makes them.
anchors() { sed -nE 's/^#+ //p' "$1" | tr '[:upper:]' '[:lower:]' | sed -e 's/[^a-z0-9 _-]//g' -e 's/ /-/g'; }
for page in "$@"; do
    dir=$(dirname "$page")
    # Links and pictures: [text](target), ![text](target "title") and <img src="target">.
    while IFS= read -r target; do
        target=${target%% *}
        case $target in
        http://* | https://* | mailto:*) continue ;;
        '#'*) file=$page part=${target#\#} ;;
        *'#'*) file=$dir/${target%%#*} part=${target#*#} ;;
        *) file=$dir/$target part= ;;
        esac
        if [ ! -e "$file" ]; then
            echo "broken: $page links to $target, which does not exist"
            broken=1
        elif [ -n "$part" ] && ! grep -xF -- "$part" <<<"$(anchors "$file")" >/dev/null; then
            echo "broken: $page links to $target, whose heading does not exist"
            broken=1
        fi
    done < <(grep -v '^    ' "$page" | grep -oE '\]\([^)]+\)|src="[^"]+"' | sed -E 's/^\]\((.*)\)$/\1/; s/^src="(.*)"$/\1/')
done
[ "$broken" = 0 ] && echo "ok: every link and picture in $# pages is there"
exit "$broken"
