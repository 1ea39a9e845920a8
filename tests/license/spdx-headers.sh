#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Every source file names its licence in its first line (its second when the
# first is a #! line): "SPDX-License-Identifier: GPL-3.0-or-later" in the
# language's own line comment.
#   // ...  C and C++ (*.c, *.cpp, *.h), JavaScript (*.js)
#   # ...   CMake (CMakeLists.txt, *.cmake), Makefile, shell (*.sh),
#           Python (*.py), and any other file that starts with #!
# Data and documents (res/, images, scripts for vantle-sim, fuzzing seeds,
# JSON, HTML, XML, desktop entry, manual pages, Markdown) are not source
# files here. The files are git's tracked ones in a clone, else the tree's
# (a source release), build folders left out.
# Usage: spdx-headers.sh SOURCE_DIR
set -eu
src=${1:?usage: $0 SOURCE_DIR}
cd "$src"

spdx='SPDX-License-Identifier: GPL-3.0-or-later'
list=$(mktemp "${TMPDIR:-/tmp}/vantle-spdx.XXXXXX")
trap 'rm -f "$list"' EXIT
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  git ls-files >"$list"
else
  find . \( -path './build*' -o -name .git \) -prune -o -type f -print | sed 's|^\./||' >"$list"
fi

checked=0
missing=0
while IFS= read -r file; do
  [ -f "$file" ] || continue
  case "$file" in
    *.c | *.cpp | *.h | *.js) comment='//' ;;
    CMakeLists.txt | */CMakeLists.txt | *.cmake | Makefile | */Makefile | *.sh | *.py) comment='#' ;;
    # vantle-sim's scripts begin with their expectations ("#! exit 2"), not a
    # program to run them.
    *.sim) continue ;;
    *)
      # A script with no extension: it starts with #!.
      case "$(head -c 2 "$file")" in
        '#!') comment='#' ;;
        *) continue ;;
      esac
      ;;
  esac
  checked=$((checked + 1))
  line=$(head -n 1 "$file")
  case "$line" in
    '#!'*) line=$(sed -n 2p "$file") ;;
  esac
  if [ "$line" != "$comment $spdx" ]; then
    echo "$file: does not begin with \"$comment $spdx\"" >&2
    missing=$((missing + 1))
  fi
done <"$list"

echo "$checked source files checked, $missing without the licence line"
[ "$checked" -gt 0 ] || { echo "FAIL: no source files found in $src" >&2; exit 1; }
[ "$missing" -eq 0 ]
