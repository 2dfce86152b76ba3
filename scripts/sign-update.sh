#!/usr/bin/env bash
# Signs an upgrade installer for the upgrade page:
#   sign-update.sh <private-key.pem> <file>
# Prints the line that follows "<!-- UPGRADE Signature" on the page: the ECDSA P-256
# signature of the file's SHA-256 as r||s, 64 bytes in lowercase hex.
set -euo pipefail

if [[ $# -ne 2 ]]; then
  echo "usage: sign-update.sh <private-key.pem> <file>" >&2
  exit 2
fi
key="$1"
file="$2"

# openssl writes the signature as DER, SEQUENCE { INTEGER r, INTEGER s }; the program wants
# each number as exactly 32 bytes, so leading zero bytes that DER leaves out come back.
der=$(mktemp)
trap 'rm -f "$der"' EXIT
openssl dgst -sha256 -sign "$key" -binary -out "$der" "$file"
mapfile -t numbers < <(openssl asn1parse -inform DER -in "$der" | sed -n 's/.*prim: INTEGER *://p')
if [[ ${#numbers[@]} -ne 2 ]]; then
  echo "sign-update.sh: not an ECDSA signature (is $key a P-256 key?)" >&2
  exit 1
fi
line=""
for number in "${numbers[@]}"; do
  if [[ ! "$number" =~ ^[0-9A-F]{1,64}$ || $((${#number} % 2)) -ne 0 ]]; then
    echo "sign-update.sh: a number of the signature does not fit 32 bytes: $number" >&2
    exit 1
  fi
  while ((${#number} < 64)); do number="0$number"; done
  line+="$number"
done
echo "${line,,}"
