#!/usr/bin/env bash
# Signs a release for the upgrade page:
#   sign-update.sh <private-key.pem> <version> <setup program>
# The signed statement is one line, without a line end:
#   Snapgate! <version> <SHA-256 of the setup program, 64 lowercase hex digits>
# where <version> is written exactly as the page's version line starts (e.g. "3.30"). Prints
# the line that follows "<!-- UPGRADE Signature" on the page: the ECDSA P-256 signature of the
# statement's SHA-256 as r||s, 64 bytes in lowercase hex.
set -euo pipefail

if [[ $# -ne 3 ]]; then
  echo "usage: sign-update.sh <private-key.pem> <version> <setup program>" >&2
  exit 2
fi
key="$1"
version="$2"
file="$3"
# The program signs what the page's version line begins with: a number as written.
if [[ ! "$version" =~ ^[0-9]+(\.[0-9]+)?$ ]]; then
  echo "sign-update.sh: the version must be a number such as 3.30, not '$version'" >&2
  exit 2
fi

digest=$(openssl dgst -sha256 -r "$file" | cut -d' ' -f1)
if [[ ! "$digest" =~ ^[0-9a-f]{64}$ ]]; then
  echo "sign-update.sh: cannot hash $file" >&2
  exit 1
fi
statement="Snapgate! $version $digest"

# openssl writes the signature as DER, SEQUENCE { INTEGER r, INTEGER s }; the program wants
# each number as exactly 32 bytes, so leading zero bytes that DER leaves out come back.
der=$(mktemp)
trap 'rm -f "$der"' EXIT
printf '%s' "$statement" | openssl dgst -sha256 -sign "$key" -binary -out "$der"
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
