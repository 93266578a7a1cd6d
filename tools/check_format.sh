#!/usr/bin/env bash
# Fails on a C++ file that differs from the project's .clang-format style, and names it.
#   tools/check_format.sh          check every C++ file of the checkout
#   tools/check_format.sh --fix    put every file in the style
# The style is clang-format 14's reading of .clang-format (Debian 12's clang-format).
set -euo pipefail
cd "$(dirname "$0")/.."
formatter=$(command -v clang-format-14 || command -v clang-format || true)
[ -n "$formatter" ] || { echo "clang-format is not installed (Debian: clang-format)" >&2; exit 1; }
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    mapfile -t files < <(git ls-files '*.cpp' '*.h')
else
    mapfile -t files < <(find src tests bench fuzz tools -name '*.cpp' -o -name '*.h' | sort)
fi
if [ "${1:-}" = --fix ]; then
    "$formatter" -i --style=file "${files[@]}"
    exit 0
fi
differing=()
for file in "${files[@]}"; do
    "$formatter" --style=file "$file" | cmp -s - "$file" || differing+=("$file")
done
if [ ${#differing[@]} -gt 0 ]; then
    echo "Not in the project's style (tools/check_format.sh --fix mends them):" >&2
    printf '  %s\n' "${differing[@]}" >&2
    exit 1
fi
echo "All ${#files[@]} C++ files are in the project's style"
