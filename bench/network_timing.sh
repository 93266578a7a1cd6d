#!/usr/bin/env bash
# Wall time of a read-all over the pseudo-terminal, and over the loopback through ser2net
# (raw and telnet/RFC 2217, plain and inside TLS) and through pravenor-sim's own network
# modes, with the ratio to the pseudo-terminal. Needs a build in build/ (or BUILD=dir),
# ser2net and openssl.
#   bench/network_timing.sh [RUNS]
set -euo pipefail
BUILD=${BUILD:-build}
RUNS=${1:-1}
SIM="$BUILD/src/sim/pravenor-sim"
CLI="$BUILD/src/cli/pravenor-cli"
WORK=$(mktemp -d)
PIDS=()
cleanup() { for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done; rm -rf "$WORK"; }
trap cleanup EXIT

free_port() { python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])'; }

"$SIM" --link "$WORK/converter" >/dev/null 2>&1 & PIDS+=($!)
"$SIM" --tcp 0 >"$WORK/sim-raw" 2>/dev/null & PIDS+=($!)
"$SIM" --tcp 0 --rfc2217 >"$WORK/sim-telnet" 2>/dev/null & PIDS+=($!)
RAW=$(free_port); TELNET=$(free_port); RAWTLS=$(free_port); TELNETTLS=$(free_port)
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=localhost \
    -addext subjectAltName=DNS:localhost -keyout "$WORK/key.pem" -out "$WORK/cert.pem" 2>/dev/null
SSL="ssl(key=$WORK/key.pem,cert=$WORK/cert.pem)"
cat >"$WORK/ser2net.yaml" <<YAML
connection: &raw
  accepter: tcp,127.0.0.1,$RAW
  connector: serialdev,$WORK/converter,9600n81,local
  options:
    chardelay: false
connection: &telnet
  accepter: telnet(rfc2217),tcp,127.0.0.1,$TELNET
  connector: serialdev,$WORK/converter,9600n81,local
  options:
    chardelay: false
connection: &rawtls
  accepter: $SSL,tcp,127.0.0.1,$RAWTLS
  connector: serialdev,$WORK/converter,9600n81,local
  options:
    chardelay: false
connection: &telnettls
  accepter: telnet(rfc2217),$SSL,tcp,127.0.0.1,$TELNETTLS
  connector: serialdev,$WORK/converter,9600n81,local
  options:
    chardelay: false
YAML
sleep 1
"$(command -v ser2net || echo /usr/sbin/ser2net)" -n -d -c "$WORK/ser2net.yaml" -P "$WORK/ser2net.pid" >/dev/null 2>&1 & PIDS+=($!)
sleep 1

timed() { # prints the wall seconds of one read-all
    local start end
    start=$(date +%s.%N)
    "$CLI" -q --home "$WORK" --ca "$WORK/cert.pem" --port "$1" read -o "$WORK/out.cfg"
    end=$(date +%s.%N)
    sleep 1 # ser2net lets go of the terminal after the connection has ended
    echo "$end - $start" | bc -l
}

declare -A total
LINES=("pseudo-terminal|$WORK/converter" "ser2net raw|tcp://127.0.0.1:$RAW" "ser2net telnet|rfc2217://127.0.0.1:$TELNET"
       "ser2net raw TLS|tcp+tls://localhost:$RAWTLS" "ser2net telnet TLS|rfc2217+tls://localhost:$TELNETTLS"
       "pravenor-sim --tcp|$(head -1 "$WORK/sim-raw")" "pravenor-sim --tcp --rfc2217|$(head -1 "$WORK/sim-telnet")")
for ((run = 0; run < RUNS; ++run)); do
    for entry in "${LINES[@]}"; do
        name=${entry%%|*}
        total[$name]=$(echo "${total[$name]:-0} + $(timed "${entry#*|}")" | bc -l)
    done
done
base=$(echo "${total[pseudo-terminal]} / $RUNS" | bc -l)
for entry in "${LINES[@]}"; do
    name=${entry%%|*}
    mean=$(echo "${total[$name]} / $RUNS" | bc -l)
    printf '%-30s %7.3f s  %.4f x\n' "$name" "$mean" "$(echo "$mean / $base" | bc -l)"
done
