#!/usr/bin/env bash
# Runs one test command with the servers of rig.sh up, and always stops them afterwards.
#   run-with-servers.sh STATE_DIR BASE_PORT|auto COMMAND [ARGS...]
# "auto" picks a free block of ports, so several test programs can run at the same time.
# The command finds the servers through SETUP_TEST_SERVERS (the state folder) and
# SETUP_TEST_BASE_PORT.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
[ $# -ge 3 ] || { echo "usage: $0 STATE_DIR BASE_PORT|auto COMMAND [ARGS...]" >&2; exit 2; }
state=$(realpath -m "$1")
base=$2
shift 2

trap '"$here/rig.sh" stop "$state"' EXIT
trap 'exit 143' TERM INT HUP  # so that the EXIT trap runs on these too
"$here/rig.sh" start "$state" "$base" || { echo "run-with-servers: the servers did not start" >&2; exit 1; }

export SETUP_TEST_SERVERS=$state SETUP_TEST_BASE_PORT=$(cat "$state/base-port")
"$@"
