#!/usr/bin/env bash
# A local web server for tests: nginx on 127.0.0.1 and a free port, with its configuration, pid,
# logs and temporary files all under one folder of the build tree, serving one document root.
#
#   nginx-serve.sh start DIR ROOT [SLOW_RATE]   start (a stale server of DIR is stopped first);
#                                               prints the port and writes DIR/port
#   nginx-serve.sh stop DIR                     stop it (`-s quit`, then TERM/KILL), always exits 0
#
# What the server answers (HOST = http://127.0.0.1:PORT):
#   HOST/PATH              ROOT/PATH
#   HOST/slow/PATH         ROOT/PATH at SLOW_RATE bytes a second (default 2k), for stopping a transfer
#   HOST/status/CODE/...   an answer with that status and a small error page; CODE is one of
#                          400 401 403 404 410 500 502 503
#   HOST/auth/PATH         ROOT/PATH behind a login (Basic: user "tester", password "secret")
#   HOST/truncated/PATH    ROOT/PATH announced whole (Content-Length) but cut off within its first
#                          256 bytes: the connection closes in the middle of the body (PATH needs
#                          more than 256 bytes)
# Files written under DIR for tests to read:
#   DIR/port           the port of the server
#   DIR/refused_port   a port on 127.0.0.1 where nothing listens (a connection there is refused)
#   DIR/access.log     one line per request: METHOD URI STATUS BODY_BYTES_SENT
#   DIR/error.log      nginx's own messages
# Workers run as the calling user, so the served tree needs no special permissions.
set -euo pipefail

usage() { echo "usage: nginx-serve.sh start DIR ROOT [SLOW_RATE] | stop DIR" >&2; exit 2; }
[ $# -ge 2 ] || usage
command=$1
dir=$2
nginx=${KT_NGINX:-$(command -v nginx || echo /usr/sbin/nginx)}

# Ports with a listener on any address, as four hexadecimal digits (from /proc/net/tcp*).
listening_ports() {
  cat /proc/net/tcp /proc/net/tcp6 2>/dev/null | awk 'NR > 1 && $4 == "0A" { split($2, a, ":"); print a[2] }'
}

pick_free_port() {  # a port in 20000..59999 with no listener, not in the given list
  local used port hex
  used=$(listening_ports)
  for _ in $(seq 1 200); do
    port=$((20000 + RANDOM % 40000))
    hex=$(printf '%04X' "$port")
    if ! grep -qx "$hex" <<<"$used" && ! printf '%s\n' "$@" | grep -qx "$port"; then
      echo "$port"
      return 0
    fi
  done
  echo "nginx-serve: no free port found" >&2
  return 1
}

server_pid() {  # the pid of DIR's running master, or nothing
  local pid
  [ -f "$dir/nginx.pid" ] || return 0
  pid=$(cat "$dir/nginx.pid" 2>/dev/null || true)
  if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then echo "$pid"; fi
}

stop_server() {
  local pid
  pid=$(server_pid)
  [ -n "$pid" ] || { rm -f "$dir/nginx.pid"; return 0; }
  "$nginx" -p "$dir" -c "$dir/nginx.conf" -e "$dir/error.log" -s quit </dev/null >/dev/null 2>&1 \
    || kill -TERM "$pid" 2>/dev/null || true
  # A graceful quit waits for open transfers (a slow one may take long): 5 s, then TERM, then KILL.
  for signal in "" TERM KILL; do
    [ -z "$signal" ] || kill "-$signal" "$pid" 2>/dev/null || true
    for _ in $(seq 1 50); do
      kill -0 "$pid" 2>/dev/null || { rm -f "$dir/nginx.pid"; return 0; }
      sleep 0.1
    done
  done
  echo "nginx-serve: server $pid of $dir did not end" >&2
  return 1
}

write_config() {  # port, truncating upstream port, root, slow rate
  local port=$1 upstream=$2 root=$3 rate=$4 user_line="" status_locations="" code
  # A master started as root would run its workers as nobody; run them as the caller instead.
  if [ "$(id -u)" -eq 0 ]; then user_line="user $(id -un) $(id -gn);"; fi
  for code in 400 401 403 404 410 500 502 503; do
    status_locations+="    location /status/$code/ { return $code; }"$'\n'
  done
  echo 'tester:{PLAIN}secret' >"$dir/users"
  cat >"$dir/nginx.conf" <<EOF
# Written by scripts/nginx-serve.sh for one test run; every path lies under this folder.
$user_line
worker_processes 1;
daemon on;
pid $dir/nginx.pid;
lock_file $dir/nginx.lock;
error_log $dir/error.log warn;
events { worker_connections 64; }
http {
    default_type application/octet-stream;
    types { text/xml xml; text/html html; text/plain txt; }
    log_format kt_tests '\$request_method \$request_uri \$status \$body_bytes_sent';
    access_log $dir/access.log kt_tests;
    client_body_temp_path $dir/temp/body;
    proxy_temp_path $dir/temp/proxy;
    fastcgi_temp_path $dir/temp/fastcgi;
    uwsgi_temp_path $dir/temp/uwsgi;
    scgi_temp_path $dir/temp/scgi;
    sendfile off;
    etag off;
    server {
        listen 127.0.0.1:$port;
        server_name localhost;
        root $root;
        location / { }
        location /slow/ {
            alias $root/;
            limit_rate $rate;
        }
$status_locations
        location /auth/ {
            alias $root/;
            auth_basic "Quorix tests";
            auth_basic_user_file $dir/users;
        }
        # Relayed from the stalling server below; when the relay stops hearing from it the client's
        # connection is closed in the middle of the announced body.
        location /truncated/ {
            proxy_pass http://127.0.0.1:$upstream/;
            proxy_buffering off;
            proxy_read_timeout 300ms;
        }
    }
    # Sends at most the first 256 bytes of a file at once, then one byte a second.
    server {
        listen 127.0.0.1:$upstream;
        root $root;
        access_log off;
        location / {
            limit_rate_after 256;
            limit_rate 1;
        }
    }
}
EOF
}

start_server() {
  local root=$1 rate=${2:-2k} port upstream refused attempt
  [ -d "$root" ] || { echo "nginx-serve: no document root $root" >&2; return 1; }
  root=$(cd "$root" && pwd)
  mkdir -p "$dir/temp"
  dir=$(cd "$dir" && pwd)
  stop_server
  rm -f "$dir/port" "$dir/refused_port" "$dir/access.log"
  # Another process may take a port between the choice and nginx's bind: try a few times.
  for attempt in 1 2 3 4 5; do
    port=$(pick_free_port)
    upstream=$(pick_free_port "$port")
    write_config "$port" "$upstream" "$root" "$rate"
    if timeout 20 "$nginx" -p "$dir" -c "$dir/nginx.conf" -e "$dir/error.log" \
         </dev/null >>"$dir/start.log" 2>&1; then
      refused=$(pick_free_port "$port" "$upstream")
      echo "$refused" >"$dir/refused_port"
      echo "$port" >"$dir/port"
      echo "$port"
      return 0
    fi
    grep -q 'Address already in use' "$dir/start.log" 2>/dev/null || break
  done
  echo "nginx-serve: nginx did not start (attempt $attempt):" >&2
  cat "$dir/start.log" >&2
  return 1
}

case "$command" in
  start) [ $# -ge 3 ] || usage; mkdir -p "$dir"; start_server "$3" "${4:-}" ;;
  stop)  [ -d "$dir" ] || exit 0; dir=$(cd "$dir" && pwd); stop_server || true ;;
  *) usage ;;
esac
