#!/bin/bash
# Checks every shell script of the project with the Debian package of the
# same name: scripts/, play.sh, test.sh, CI, the end-to-end and package
# tests (following what they source), and the installed launcher. Any
# finding fails; a false alarm is disabled on its line with the reason.
# Run by ctest as the "shellcheck" test.
set -Eeuo pipefail
trap 'echo "shellcheck.sh: failed (status $?) at line $LINENO: $BASH_COMMAND" >&2' ERR
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
SCRIPTS=(scripts/*.sh play.sh test.sh .ci/run tests/e2e/*.sh tests/package/*.sh)
shellcheck --external-sources --source-path=SCRIPTDIR "${SCRIPTS[@]}"
# The launcher is a template (@...@ filled in by CMake) for /bin/sh.
shellcheck --shell=sh dist/skarnvale.in
echo "shellcheck: $((${#SCRIPTS[@]} + 1)) scripts, no findings"
