#!/usr/bin/env bash
# The link check passes good links and fails on each kind of broken one,
# naming it: a missing page or picture, a missing heading here or elsewhere.
set -uo pipefail
check=$(dirname "$0")/../../packaging/check_links.sh
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir "$tmp/docs" && touch "$tmp/docs/picture.png" && printf '# Other page\n\n## Its part\n' >"$tmp/docs/other.md"
good='[a](docs/other.md) ![b](docs/picture.png "c") [d](docs/other.md#its-part) [e](#a-heading)
[f](https://example.org/nowhere.md) <img src="docs/picture.png" width="9">'
printf '# A heading\n\n%s\n' "$good" >"$tmp/README.md"
"$check" "$tmp/README.md" || { echo "FAIL: good links reported broken" >&2; exit 1; }
for target in docs/gone.md docs/gone.png docs/other.md#gone '#gone'; do
    for link in "[g]($target)" "<img src=\"$target\">"; do
        printf '# A heading\n\n%s %s\n' "$good" "$link" >"$tmp/README.md"
        ! out=$("$check" "$tmp/README.md") && grep -qF "links to $target," <<<"$out" ||
            { echo "FAIL: $link not caught: $out" >&2; exit 1; }
    done
done
echo "ok: each broken link was caught"
