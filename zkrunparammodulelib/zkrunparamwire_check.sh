#!/bin/sh
# Decrypts a hand-over that the receiver peer dumped (its key and the hex text
# it inherited) with OpenSSL's Triple-DES and compares the plain payload byte
# for byte.
#   zkrunparamwire_check.sh <dump file> <expected payload>
set -eu
dump=$1
expected=$2
key=$(sed -n 's/^key=//p' "$dump")
hex=$(sed -n 's/^hex=//p' "$dump")
[ -n "$key" ] && [ -n "$hex" ] || { echo "no key or hex text in $dump"; exit 1; }
# The hex text is written in lower case, two digits a byte.
case $hex in *[!0-9a-f]*) echo "not lower-case hex: $hex"; exit 1 ;; esac
[ $(( ${#hex} % 16 )) -eq 0 ] || { echo "hex text of ${#hex} characters is not whole blocks"; exit 1; }
# The key material is the key text filled with blanks to 24 bytes; the IV its first 8 bytes.
keyhex=$(printf '%-24.24s' "$key" | od -An -tx1 | tr -d ' \n')
ivhex=$(printf '%s' "$keyhex" | cut -c1-16)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf '%s' "$hex" | xxd -r -p | openssl enc -d -des-ede3-cbc -K "$keyhex" -iv "$ivhex" -out "$work/plain"
printf '%s' "$expected" >"$work/expected"
if ! cmp "$work/plain" "$work/expected"; then
  echo "decrypted: $(od -c "$work/plain" | head -20)"
  echo "expected:  $expected"
  exit 1
fi
echo "payload matches: $expected"
