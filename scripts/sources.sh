# Sourced by the scripts that build libraries from source: the fields of
# scripts/sources.sha256, the one list of their versions and sums.
# shellcheck shell=bash

SKV_SOURCES_LIST="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/sources.sha256"

# source_field PACKAGE N: field N of the package's line (2 tarball, 3 SHA-256,
# 4 version, 5 folder); fails when the package or the field is missing.
source_field() {
  awk -v p="$1" -v n="$2" '$1 == p && NF >= n { print $n; found = 1; exit } END { exit !found }' \
    "$SKV_SOURCES_LIST" || { echo "no field $2 for $1 in $SKV_SOURCES_LIST" >&2; return 1; }
}
