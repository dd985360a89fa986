#!/bin/sh
# Fails when an engine decodes or encodes the bytes of a file or buffer by hand: outside the byte
# codec (src/common/byte_codec.h) and the layout files (*_format.h, *_format.cpp), the sources of
# src/dbase and src/sql may not
#   - shift by a whole number of bytes (<< 8, >> 16, << (8 * i), ...): integers go through the codec;
#   - index a byte buffer at a named offset moved by a bare number (record[kSemCounter + 1]);
#   - read or write a file at a bare numeric offset (readAt(..., 4));
#   - define a buffer offset of their own (constexpr std::size_t kHeaderCountOffset = 4).
# Shifts of bits within a byte and sizes written as shifts (1u << 20) are not byte layouts.
# Usage: check_byte_codec.sh SOURCE_DIR
set -u
cd "${1:?usage: check_byte_codec.sh SOURCE_DIR}" || exit 2

found=0
check() {
  # $1 names the rule, $2 is its extended regular expression; comments are not code.
  hits=$(find src/dbase src/sql -name '*.h' -o -name '*.cpp' | grep -v '_format\.\(h\|cpp\)$' | sort |
         xargs grep -nE "$2" /dev/null |
         while IFS= read -r hit; do
           code=$(printf '%s\n' "$hit" | sed -E 's#^[^:]+:[0-9]+:##; s#//.*$##')
           printf '%s\n' "$code" | grep -qE "$2" && printf '%s: %s\n' "$1" "$hit"
         done)
  if [ -n "$hits" ]; then
    printf '%s\n' "$hits"
    found=1
  fi
}

check "byte shift" '(<<|>>)[[:space:]]*\(?[[:space:]]*(8|16|24|32|40|48|56)([^0-9.]|$)'
check "byte offset" '\[[[:space:]]*k[A-Z][A-Za-z0-9_]*[[:space:]]*[-+][[:space:]]*[0-9]+[[:space:]]*\]'
check "file offset" '(readAt|writeAt)[[:space:]]*\([^;]*,[[:space:]]*[1-9][0-9]*[[:space:]]*\)'
check "own offset" 'constexpr[[:space:]]+(std::)?size_t[^=;]*Offset[[:space:]]*=[[:space:]]*[0-9]'

if [ "$found" -ne 0 ]; then
  echo "Bytes handled outside the codec and the layout files (use common/byte_codec.h and the *_format.h offsets)."
  exit 1
fi
exit 0
