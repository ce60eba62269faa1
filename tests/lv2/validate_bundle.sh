#!/usr/bin/env bash
# Checks the built LV2 bundle the way a host would find it: valid Turtle, no lv2_validate errors,
# and listed by lilv when LV2_PATH points at the build.
# Usage: validate_bundle.sh BUNDLE_DIR EXPECTED_URI
set -euo pipefail
bundle=$1
uri=$2

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# lv2_validate splits its arguments on spaces, and the bundle's name has some.
cp -r "$bundle" "$work/tarvik.lv2"

status=0
for ttl in "$work"/tarvik.lv2/*.ttl; do
    if ! serdi -q -i turtle -o ntriples "$ttl" > /dev/null; then
        echo "FAIL: serdi rejects $(basename "$ttl")"
        status=1
    fi
done

report=$(lv2_validate "$work"/tarvik.lv2/*.ttl 2>&1 | grep -v '^Skipping' || true)
if ! grep -q '^Found 0 errors' <<< "$report"; then
    echo "FAIL: lv2_validate reports errors:"
    echo "$report"
    status=1
fi

listed=$(LV2_PATH="$work" lv2ls)
if ! grep -qx "$uri" <<< "$listed"; then
    echo "FAIL: lv2ls does not list $uri (it lists: $listed)"
    status=1
fi

[ $status -eq 0 ] && echo "LV2 bundle valid: $uri"
exit $status
