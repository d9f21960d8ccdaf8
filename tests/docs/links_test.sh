#!/usr/bin/env bash
# The link check fails on each kind of broken link and passes the same page
# mended: a missing page, a missing picture, a missing heading here and in
# another page.
set -uo pipefail
check=$(cd "$(dirname "$0")/../../packaging" && pwd)/check_links.sh
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir "$tmp/docs"
printf '# Other page\n\n## Its part\n' >"$tmp/docs/other.md"
touch "$tmp/docs/picture.png"
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

good=('[other](docs/other.md)' '![a picture](docs/picture.png "title")' '[part](docs/other.md#its-part)'
    '[here](#a-heading)' '[web](https://example.org/nowhere.md)' '<img src="docs/picture.png" width="9">')
bad=('[other](docs/gone.md)' '![a picture](docs/gone.png)' '<img src="docs/gone.png">' '[part](docs/other.md#gone)' '[here](#gone)')
page() { printf '# A heading\n\n%s\n' "$@" >"$tmp/README.md"; }

page "${good[@]}"
"$check" "$tmp/README.md" || fail "good links reported broken"
for link in "${bad[@]}"; do
    page "${good[@]}" "$link"
    out=$("$check" "$tmp/README.md") && fail "$link passed"
    target=${link#*](}
    target=${target#*src=\"}
    target=${target%%[)\"]*}
    grep -qF "links to $target," <<<"$out" || fail "$link not named: $out"
    echo "caught: $link"
done
