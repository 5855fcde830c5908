#!/usr/bin/env bash
# Runs a receiver on a device served by ser2net over loopback, as the bench's
# rig runs a receiver on a pseudo-terminal:
#   bench/remote/served.sh rfc2217|tcp DEVICE -- COMMAND...
# starts ser2net 4 in the foreground on a free port of 127.0.0.1 with a
# generated configuration that serves DEVICE (Telnet with RFC 2217, or raw
# TCP), replaces {url} in COMMAND by the line's URL, runs it, and stops ser2net
# when it ends (or when this script is told to end). ser2net forwards at once
# (chardelay off), as a bench line should; its default waits a few character
# times for more before it sends.
set -euo pipefail

mode=$1 device=$2
shift 2
[ "${1:-}" = "--" ] && shift

port=$(/usr/bin/python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
work=$(mktemp -d)
case $mode in
  rfc2217) accepter="telnet(rfc2217),tcp,127.0.0.1,$port" url="rfc2217://127.0.0.1:$port" ;;
  tcp) accepter="tcp,127.0.0.1,$port" url="tcp://127.0.0.1:$port" ;;
  *) echo "served.sh: mode rfc2217 or tcp, not $mode" >&2; exit 2 ;;
esac
cat >"$work/ser2net.yaml" <<YAML
connection: &line
  accepter: $accepter
  connector: serialdev,$device,115200n81,local
  options:
    chardelay: false
YAML

ser2net -n -d -c "$work/ser2net.yaml" >"$work/ser2net.log" 2>&1 &
server=$!
receiver=""
finish() {
  [ -z "$receiver" ] || kill "$receiver" 2>/dev/null || true
  kill "$server" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap finish EXIT
trap 'exit 143' TERM INT

for _ in $(seq 250); do
  if /usr/bin/python3 -c "import socket,sys; socket.create_connection(('127.0.0.1', $port), 0.2)" 2>/dev/null; then
    break
  fi
  sleep 0.02
done

command=()
for arg in "$@"; do command+=("${arg//\{url\}/$url}"); done
# In the background, standard input would be /dev/null; the receiver keeps the rig's.
"${command[@]}" 0<&0 &
receiver=$!
wait "$receiver"
