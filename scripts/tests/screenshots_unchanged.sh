#!/usr/bin/env bash
# The six windows look exactly as the pictures in docs/screenshots: the same bytes, so the
# same pixels. After a wanted change of looks, remake the pictures (bash scripts/screenshots).
set -u
tool=$1
root=$(cd "$(dirname "$0")/../.." && pwd)
out=$(mktemp -d)
QT_QPA_PLATFORM=offscreen "$tool" "$out" "$root/tools/demo-files" >/dev/null || exit 1
failed=0
for picture in "$root"/docs/screenshots/*.png; do
    name=$(basename "$picture")
    if ! cmp -s "$picture" "$out/$name"; then
        echo "differs from docs/screenshots/$name: $out/$name"
        failed=1
    fi
done
[ $failed -eq 0 ] && rm -rf "$out"
exit $failed
