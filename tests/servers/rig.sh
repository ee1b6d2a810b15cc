#!/usr/bin/env bash
# Local HTTP servers for the tests: one nginx instance with several hosts on loopback ports,
# and the fault server for answers that nginx will not give on demand.
#
#   rig.sh start STATE_DIR BASE_PORT|auto [--rate RATE] [--down NAME,...]
#                                      start everything; fails when a port is taken. "auto"
#                                      takes a free block (another if one is taken meanwhile).
#                                      The base port is written to STATE_DIR/base-port.
#     --rate RATE                      nginx sends each answer at RATE bytes a second ("4m")
#     --down NAME,...                  leave these nginx hosts out: their ports stay closed
#   rig.sh stop STATE_DIR              stop what `start` started (safe to repeat)
#   rig.sh free-base                   print a BASE_PORT whose twenty ports are all free now
#
# Ports (all on 127.0.0.1):
#   BASE+1  host1   first default download host      document root STATE_DIR/www/host1
#   BASE+2  host2   second default download host     document root STATE_DIR/www/host2
#   BASE+3  site1   download site                    document root STATE_DIR/www/site1
#   BASE+4  site2   download site                    document root STATE_DIR/www/site2
#   BASE+5  site3   download site                    document root STATE_DIR/www/site3
#   BASE+6  site4   download site                    document root STATE_DIR/www/site4
#   BASE+8  (never served: a host that is down)
#   BASE+9  fault   tests/servers/fault_server.py    no document root
#   BASE+11..16  host1-tls .. site4-tls: HTTPS twins of host1 .. site4 (same document roots,
#                logs NAME-tls.access.log), certificate for 127.0.0.1 from the rig's CA;
#                /to-http/PATH redirects to http://127.0.0.1:<the plain host's port>/to-http/PATH
#   BASE+17 wrong-name   HTTPS, site1's files, a certificate for another name
#   BASE+18 expired      HTTPS, site1's files, a certificate that expired in 2020
#   BASE+19 unknown-ca   HTTPS, site1's files, a certificate from a CA that nobody trusts
# The certificates (tests/servers/make-certs.sh) are made at each start into STATE_DIR/tls, or
# taken from the folder SETUP_RIG_CERTS names (made there when missing), so a rig that restarts
# often makes them once. Only tests that trust STATE_DIR/tls/ca.der in their Wine prefix get
# through the good ones.
# site4 keeps /private/ behind basic authentication: user "tester", password "s3cret" (the
# password file is made at each start).
# Every host logs each request, one line "METHOD PATH STATUS BODY_BYTES BYTES_SENT", to
# STATE_DIR/logs/NAME.access.log, so a test can prove which hosts were contacted.
# Files dropped into a document root are served at once as application/octet-stream.
# STATE_DIR/disk-full/full.bin is a link to /dev/full beside an older "full.bin Before
# Download": a download target on which every write fails (remade at each start).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
hosts=(host1 host2 site1 site2 site3 site4)

usage() { sed -n '2,14p' "${BASH_SOURCE[0]}" >&2; exit 2; }
# HTTPS listeners with a bad certificate, at BASE+17.. in this order (see make-certs.sh).
bad_tls=(wrong-name expired unknown-ca)

free_base() {
  python3 - <<'PY'
import random, socket
def free(port):
    s = socket.socket()
    try:
        s.bind(("127.0.0.1", port)); return True
    except OSError:
        return False
    finally:
        s.close()
for _ in range(200):
    base = random.randrange(20000, 60000, 20)
    if all(free(base + i) for i in range(20)):
        print(base); break
else:
    raise SystemExit("no free block of ports")
PY
}

# Hosts given to --down, and the --rate; set by parse_options.
down=()
rate=

parse_options() {
  while [ $# -gt 0 ]; do
    case "$1" in
      --rate) [ $# -ge 2 ] || usage; rate=$2; shift 2 ;;
      --down) [ $# -ge 2 ] || usage; IFS=, read -r -a down <<<"$2"; shift 2 ;;
      *) usage ;;
    esac
  done
  local name
  for name in "${down[@]}"; do
    [[ " ${hosts[*]} " == *" $name "* ]] || { echo "rig.sh: no host named $name" >&2; exit 2; }
  done
}

is_down() { [[ " ${down[*]} " == *" $1 "* ]]; }

# STATE PORT HOST CERTIFICATE LOG [PLAIN_PORT]: an HTTPS server block with HOST's document
# root; with PLAIN_PORT, /to-http/... redirects to the same path on that plain HTTP port.
tls_server() {
  echo "  server { listen 127.0.0.1:$2 ssl; root $1/www/$3;"
  echo "           ssl_certificate $1/tls/$4.pem; ssl_certificate_key $1/tls/server.key;"
  [ -n "${6:-}" ] && echo "           location /to-http/ { return 302 http://127.0.0.1:$6\$request_uri; }"
  echo "           access_log $1/logs/$5.access.log rig; }"
}

write_nginx_conf() {
  local state=$1 base=$2 i=0
  {
    # Master and workers as root when started as root: the document roots belong to the tester.
    [ "$(id -u)" = 0 ] && echo "user root;"
    cat <<CONF
worker_processes 1;
pid $state/nginx.pid;
error_log $state/logs/error.log warn;
events { worker_connections 256; }
http {
  default_type application/octet-stream;
  types { }
  sendfile on;
  keepalive_timeout 5;
  log_format rig '\$request_method \$request_uri \$status \$body_bytes_sent \$bytes_sent';
  log_format connections '\$connection \$connection_requests \$request_method \$request_uri';
  client_body_temp_path $state/tmp/body;
  proxy_temp_path $state/tmp/proxy;
  fastcgi_temp_path $state/tmp/fastcgi;
  uwsgi_temp_path $state/tmp/uwsgi;
  scgi_temp_path $state/tmp/scgi;
CONF
    [ -n "$rate" ] && echo "  limit_rate $rate;"
    for name in "${hosts[@]}"; do
      i=$((i + 1))
      is_down "$name" && continue
      echo "  server { listen 127.0.0.1:$((base + i)); root $state/www/$name;"
      [ "$name" = site4 ] &&
        echo "           location /private/ { auth_basic rig; auth_basic_user_file $state/htpasswd; }"
      echo "           access_log $state/logs/$name.access.log rig;"
      echo "           access_log $state/logs/$name.connections.log connections; }"
      tls_server "$state" $((base + 10 + i)) "$name" good "$name-tls" $((base + i))
    done
    i=16
    for name in "${bad_tls[@]}"; do
      i=$((i + 1))
      tls_server "$state" $((base + i)) site1 "$name" "$name"
    done
    echo "}"
  } > "$state/nginx.conf"
}

wait_for_ports() {
  local base=$1 offsets="9 17 18 19" i=0 name
  for name in "${hosts[@]}"; do
    i=$((i + 1))
    is_down "$name" || offsets="$offsets $i $((i + 10))"
  done
  python3 - "$base" $offsets <<'PY'
import socket, sys, time
base = int(sys.argv[1])
ports = [base + int(i) for i in sys.argv[2:]]
deadline = time.time() + 10
while ports and time.time() < deadline:
    try:
        socket.create_connection(("127.0.0.1", ports[0]), timeout=1).close()
        ports.pop(0)
    except OSError:
        time.sleep(0.05)
if ports:
    raise SystemExit(f"servers not answering on ports {ports}")
PY
}

make_certs() {
  local state=$1 certs=${SETUP_RIG_CERTS:-}
  if [ -z "$certs" ]; then
    "$here/make-certs.sh" "$state/tls"
    return
  fi
  [ -f "$certs/unknown-ca.pem" ] || "$here/make-certs.sh" "$certs"
  rm -rf "$state/tls" && cp -r "$certs" "$state/tls"
}

start() {
  local state base
  state=$(realpath -m "$1")
  base=$2
  shift 2
  parse_options "$@"
  stop "$state" 2>/dev/null || true
  mkdir -p "$state/logs" "$state/tmp"
  for name in "${hosts[@]}"; do
    mkdir -p "$state/www/$name"
    : > "$state/logs/$name.access.log"
    : > "$state/logs/$name-tls.access.log"
  done
  for name in "${bad_tls[@]}"; do : > "$state/logs/$name.access.log"; done
  make_certs "$state"
  : > "$state/logs/fault.access.log"
  # A target that behaves like a full disk: opened in place because its backup name is taken.
  rm -rf "$state/disk-full" && mkdir -p "$state/disk-full"
  ln -s /dev/full "$state/disk-full/full.bin"
  printf older > "$state/disk-full/full.bin Before Download"
  printf 'tester:%s\n' "$(openssl passwd -apr1 s3cret)" > "$state/htpasswd"
  write_nginx_conf "$state" "$base"
  nginx -p "$state" -c "$state/nginx.conf" -e "$state/logs/error.log"
  python3 "$here/fault_server.py" --port $((base + 9)) --log "$state/logs/fault.access.log" \
    </dev/null >>"$state/logs/fault.out" 2>&1 &
  echo $! > "$state/fault.pid"
  echo "$base" > "$state/base-port"
  if ! wait_for_ports "$base"; then
    stop "$state"
    return 1
  fi
}

# Another program may take the same ports between the choice and the start: try other blocks.
start_auto() {
  local state=$1 base
  shift
  for _ in 1 2 3 4 5; do
    base=$(free_base)
    start "$state" "$base" "$@" && return 0
  done
  echo "rig.sh: the servers did not start" >&2
  return 1
}

stop_pid_file() {
  local file=$1 pid
  [ -f "$file" ] || return 0
  pid=$(cat "$file")
  if [ -n "$pid" ] && kill "$pid" 2>/dev/null; then
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$pid" 2>/dev/null || true
  fi
  rm -f "$file"
}

stop() {
  local state
  state=$(realpath -m "$1")
  stop_pid_file "$state/nginx.pid"
  stop_pid_file "$state/fault.pid"
}

case "${1:-}" in
  start)
    [ $# -ge 3 ] || usage
    if [ "$3" = auto ]; then start_auto "$2" "${@:4}"; else shift; start "$@"; fi ;;
  stop) [ $# -eq 2 ] || usage; stop "$2" ;;
  free-base) free_base ;;
  *) usage ;;
esac
