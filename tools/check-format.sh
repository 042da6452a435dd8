#!/usr/bin/env bash
# Checks that every C++ (and C) file of the project is in the repository's clang-format style;
# names each file that is not, and how to mend it. Exit status 1 when one is not.
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root" || exit 2
command -v clang-format > /dev/null || { echo "check-format: clang-format is not installed" >&2; exit 2; }
mapfile -t files < <(find src tests tools bench -name build -prune -o \
  \( -name '*.cpp' -o -name '*.h' -o -name '*.c' \) -type f -print | sort)
((${#files[@]})) || { echo "check-format: no C++ files found under $root" >&2; exit 2; }
unformatted=()
for file in "${files[@]}"; do
  clang-format --dry-run --Werror "$file" > /dev/null 2>&1 || unformatted+=("$file")
done
for file in "${unformatted[@]}"; do echo "not clang-formatted: $file (clang-format -i $file)"; done
echo "check-format: ${#files[@]} files checked, ${#unformatted[@]} not formatted"
((${#unformatted[@]} == 0))
