#!/usr/bin/env bash
# scripts/install refuses a server address that cannot be one, before anything is written.
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
prefix=$(mktemp -d)/programma
failed=0
while IFS='|' read -r server cause; do
    output=$(bash "$root/scripts/install" --prefix "$prefix" --server "$server" 2>&1)
    status=$?
    if [ $status -eq 0 ] || [[ "$output" != *"$cause"* ]] || [ -e "$prefix" ]; then
        echo "not refused as it should be: \"$server\" (exit $status): $output"
        failed=1
    fi
done <<'CASES'
ftp://quor.example|deve cominciare con http:// o https://
quor.example|deve cominciare con http:// o https://
http://|deve cominciare con http:// o https://
http://quor.example/|non deve finire con una barra
http://quor.example,8080|non può contenere una virgola
http://quor"example|non può contenere virgolette
http://quor example|non può contenere spazi
CASES
rm -rf "$(dirname "$prefix")"
exit $failed
