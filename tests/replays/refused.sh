#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# vantle-sim --replay tells a replay that does not lead where it says (exit
# 1: its end's score or digest changed, the checksum made right again) from
# one that is no replay (exit 2: characters no code has, a later version, a
# damaged one, a cut one, a missing or empty file). The changed replays are
# made here from a good one, byte by byte as game/replay.h lays them out.
# Usage: refused.sh VANTLE_SIM GOOD.replay
set -eu
sim=${1:?usage: $0 VANTLE_SIM GOOD.replay}
good=${2:?usage: $0 VANTLE_SIM GOOD.replay}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

# The code's bytes, one decimal number a line (base64url has no padding).
decode() {
  local c=$1
  while [ $((${#c} % 4)) -ne 0 ]; do c="$c="; done
  printf '%s' "$c" | basenc --base64url -d | od -An -v -tu1 | tr -s ' ' '\n' | sed '/^$/d'
}
# The numbers of an array as bytes into a file.
write_bytes() { # FILE NUMBERS...
  local file=$1
  shift
  printf '%b' "$(printf '\\%03o' "$@")" >"$file"
}
# Bytes as a code, one line.
encode() { basenc --base64url -w0 "$1" | tr -d '='; echo; }
# The last four bytes made the CRC-32 of all before them (gzip's trailer
# holds the same CRC-32, lowest byte first).
fix_crc() { # NUMBERS... -> NUMBERS
  local n=$(($# - 4)) crc
  write_bytes "$work/body" "${@:1:$n}"
  crc=$(gzip -c "$work/body" | tail -c 8 | head -c 4 | od -An -v -tu1)
  # shellcheck disable=SC2086
  echo "${@:1:$n}" $crc
}

# `vantle-sim --replay` on a file holding TEXT: exit code EXPECTED, and its
# word on standard error names WHY.
expect() { # NAME EXPECTED WHY FILE
  local code=0
  "$sim" --replay "$4" >"$work/out" 2>"$work/err" || code=$?
  [ "$code" -eq "$2" ] || fail "$1: exit $code, not $2 ($(cat "$work/err"))"
  grep -q -- "$3" "$work/err" || fail "$1: standard error does not say '$3': $(cat "$work/err")"
}
code_file() { # NAME TEXT -> the file's path
  printf '%s\n' "$2" >"$work/$1.replay"
  echo "$work/$1.replay"
}

text=$(tr -d '\n' <"$good")
mapfile -t bytes < <(decode "$text")
[ "${#bytes[@]}" -gt 12 ] || fail "$good holds no replay's bytes"

# Decoded and made again, the code is the same and plays to its end: the
# tools here change nothing by themselves.
write_bytes "$work/same" "${bytes[@]}"
[ "$(encode "$work/same")" = "$text" ] || fail "the code made again differs from $good"
"$sim" --replay "$good" >/dev/null || fail "$good does not play to where it says"
# Its code as a link plays as well.
"$sim" --replay "$(code_file link "https://example.org/vantle/#watch=$text")" >/dev/null ||
  fail "the code as a link is not taken"

# Where the end's score lies: after the version, the flags and the ticks.
at=2
while [ "${bytes[$at]}" -ge 128 ]; do at=$((at + 1)); done
score_at=$((at + 1))
at=$score_at
while [ "${bytes[$at]}" -ge 128 ]; do at=$((at + 1)); done
digest_at=$((at + 1))

# The end's score one more, the checksum made right: it does not end there.
changed=("${bytes[@]}")
[ $((changed[score_at] & 127)) -lt 127 ] || fail "the score's low bits are all ones in $good"
changed[score_at]=$((changed[score_at] + 1))
# shellcheck disable=SC2207
changed=($(fix_crc "${changed[@]}"))
write_bytes "$work/score" "${changed[@]}"
expect "score changed" 1 "does not end where it says" "$(code_file score "$(encode "$work/score")")"

# The end's digest changed: the state it ends in is another.
changed=("${bytes[@]}")
changed[digest_at]=$((changed[digest_at] ^ 1))
# shellcheck disable=SC2207
changed=($(fix_crc "${changed[@]}"))
write_bytes "$work/digest" "${changed[@]}"
expect "digest changed" 1 "does not end where it says" "$(code_file digest "$(encode "$work/digest")")"

# A later version, its checksum right: not read.
changed=("${bytes[@]}")
changed[0]=$((changed[0] + 1))
# shellcheck disable=SC2207
changed=($(fix_crc "${changed[@]}"))
write_bytes "$work/later" "${changed[@]}"
expect "later version" 2 "later version" "$(code_file later "$(encode "$work/later")")"

# A byte of the middle changed, the checksum left: damaged.
changed=("${bytes[@]}")
middle=$((${#bytes[@]} / 2))
changed[middle]=$((changed[middle] ^ 16))
write_bytes "$work/damaged" "${changed[@]}"
expect "damaged" 2 "damaged" "$(code_file damaged "$(encode "$work/damaged")")"

# Cut short by its last four characters: damaged, or no code's length.
expect "cut short" 2 "replay" "$(code_file cut "${text:0:$((${#text} - 4))}")"
# Characters no code has.
expect "bad characters" 2 "no replay code" "$(code_file bad "${text:0:10}!${text:11}")"
expect "a line of words" 2 "no replay code" "$(code_file words "this is not a replay")"
# An empty file, and one that is not there.
: >"$work/empty.replay"
expect "empty file" 2 "no replay code" "$work/empty.replay"
expect "missing file" 2 "cannot read" "$work/missing.replay"
echo "ok"
