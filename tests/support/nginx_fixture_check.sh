#!/usr/bin/env bash
# Checks the local test web server (scripts/nginx-serve.sh) through bash's own TCP connections.
# Usage: nginx_fixture_check.sh SERVER_DIR   (the server serves kilobyte.txt, 1024 bytes)
set -uo pipefail
dir=$1
port=$(cat "$dir/port")
refused=$(cat "$dir/refused_port")
failures=0

fetch() {  # port path -> "STATUS BODY_BYTES"
  local answer status line header_bytes=0
  answer=$(mktemp)
  (exec 3<>"/dev/tcp/127.0.0.1/$1" || exit 1
   printf 'GET %s HTTP/1.0\r\nHost: localhost\r\n\r\n' "$2" >&3
   timeout 20 cat <&3 >"$answer")
  status=$(head -n1 "$answer" | cut -d' ' -f2)
  while IFS= read -r line; do
    header_bytes=$((header_bytes + ${#line} + 1))
    [ "$line" = $'\r' ] && break
  done <"$answer"
  echo "$status $(($(stat -c %s "$answer") - header_bytes))"
  rm -f "$answer"
}

expect() {  # description, actual, expected
  if [ "$2" = "$3" ]; then echo "ok   $1"; else echo "FAIL $1: got '$2', expected '$3'"; failures=$((failures + 1)); fi
}

mark=$(stat -c %s "$dir/access.log" 2>/dev/null || echo 0)
expect "plain file" "$(fetch "$port" /kilobyte.txt)" "200 1024"
expect "slow file" "$(fetch "$port" /slow/kilobyte.txt)" "200 1024"
expect "404 answer" "$(fetch "$port" /status/404/kilobyte.txt | cut -d' ' -f1)" "404"
expect "login answer" "$(fetch "$port" /auth/kilobyte.txt | cut -d' ' -f1)" "401"
expect "500 answer" "$(fetch "$port" /status/500/kilobyte.txt | cut -d' ' -f1)" "500"
truncated=$(fetch "$port" /truncated/kilobyte.txt)
expect "truncated status" "${truncated% *}" "200"
[ "${truncated#* }" -lt 1024 ] && echo "ok   truncated body (${truncated#* } bytes)" \
  || { echo "FAIL truncated body is whole"; failures=$((failures + 1)); }
if (exec 3<>"/dev/tcp/127.0.0.1/$refused") 2>/dev/null; then
  echo "FAIL refused port $refused accepts connections"; failures=$((failures + 1))
else
  echo "ok   refused port"
fi
logged() { tail -c +$((mark + 1)) "$dir/access.log" | awk '{print $2, $3}' | tr '\n' ,; }
# nginx logs a request just after it answered it: wait a little for the last line.
for _ in $(seq 1 50); do [ "$(logged | tr -cd , | wc -c)" -ge 6 ] && break; sleep 0.1; done
expect "access log" "$(logged)" \
  "/kilobyte.txt 200,/slow/kilobyte.txt 200,/status/404/kilobyte.txt 404,/auth/kilobyte.txt 401,/status/500/kilobyte.txt 500,/truncated/kilobyte.txt 200,"
exit $((failures > 0))
