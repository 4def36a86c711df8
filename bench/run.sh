#!/usr/bin/env bash
# Synchronisation benchmarks against the demo shop on 127.0.0.1. Never part of `make test`.
#   bash bench/run.sh [BUILD_DIR]        (RUNS=3 by default; DELAYED=0 skips the 200 ms runs)
# Every figure is a whole process: wall time, CPU time (user + system) and peak resident memory.
set -euo pipefail
BUILD_DIR=${1:-build}
BIN="$(cd "$BUILD_DIR/bin" && pwd)"
RUNS=${RUNS:-3}
DELAYED=${DELAYED:-1}
ORDERS=${ORDERS:-20000}
PRODUCTS=${PRODUCTS:-2000}
KEY=ck_bench
SECRET=cs_bench
work=$(mktemp -d -t quillerby-bench.XXXXXX)
shop_pid=""
cleanup() { [ -n "$shop_pid" ] && kill "$shop_pid" 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT

start_shop() { # $1: delay in ms
  [ -n "$shop_pid" ] && kill "$shop_pid" 2>/dev/null && wait "$shop_pid" 2>/dev/null || true
  "$BIN/quillerby-demo-shop" --port 0 --key $KEY --secret $SECRET --orders "$ORDERS" --products "$PRODUCTS" \
    --seed 7 --delay "$1" > "$work/shop.log" 2>&1 &
  shop_pid=$!
  URL=""
  for _ in $(seq 1 300); do
    URL=$(sed -n 's/^listening on //p' "$work/shop.log" | head -n 1)
    [ -n "$URL" ] && break
    sleep 0.1
  done
  [ -n "$URL" ] || { cat "$work/shop.log" >&2; exit 1; }
}

fresh_home() { # a new per-user folder connected to the shop
  HOME_DIR="$work/home-$RANDOM$RANDOM"
  "$BIN/quillerby-cli" --home "$HOME_DIR" --documents "$work" setup --engine sqlite > /dev/null
  "$BIN/quillerby-cli" --home "$HOME_DIR" store-test --url "$URL" --key $KEY --secret $SECRET > /dev/null
}

# measure NAME COMMAND...: one run; prints wall, cpu, peak KB.
measure() {
  local name=$1; shift
  /usr/bin/time -f "%e %U %S %M" -o "$work/time" "$@" > /dev/null 2> "$work/stderr" || { cat "$work/stderr" >&2; exit 1; }
  read -r wall user sys rss < "$work/time"
  printf '%s %s %s %s\n' "$name" "$wall" "$(echo "$user + $sys" | bc)" "$rss" >> "$work/results"
}

median() { sort -n | awk '{a[NR]=$1} END {print (NR%2 ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2)}'; }

report() { # NAME LABEL
  local wall cpu rss
  wall=$(awk -v n="$1" '$1==n {print $2}' "$work/results" | median)
  cpu=$(awk -v n="$1" '$1==n {print $3}' "$work/results" | median)
  rss=$(awk -v n="$1" '$1==n {print $4}' "$work/results" | sort -n | tail -n 1)
  printf '%-44s wall %7.2f s   cpu %7.2f s   peak %6.1f MB\n' "$2" "$wall" "$cpu" "$(echo "$rss / 1024" | bc -l)"
  eval "W_$1=$wall"
}

: > "$work/results"
start_shop 0
for _ in $(seq 1 "$RUNS"); do
  fresh_home
  measure a "$BIN/quillerby-cli" --home "$HOME_DIR" sync-orders --yes
  measure b "$BIN/quillerby-bench-download" "$URL" $KEY $SECRET orders 60
  measure c "$BIN/quillerby-cli" --home "$HOME_DIR" sync-orders --yes
  measure d "$BIN/quillerby-cli" --home "$HOME_DIR" sync-products
done
if [ "$DELAYED" = 1 ]; then
  start_shop 200
  fresh_home
  measure e "$BIN/quillerby-cli" --home "$HOME_DIR" sync-orders --yes
  measure r "$BIN/quillerby-bench-download" "$URL" $KEY $SECRET orders 60
fi

echo "Demo shop: $ORDERS orders, $PRODUCTS products, 127.0.0.1; medians of $RUNS runs (peak: the highest)"
report a "(a) first full order sync"
report b "(b) raw download of the same pages"
report c "(c) second order sync, nothing new"
report d "(d) product sync"
printf 'ratio (a)/(b): %.2f\n' "$(echo "$W_a / $W_b" | bc -l)"
if [ "$DELAYED" = 1 ]; then
  report e "(e) first full order sync, shop delay 200 ms"
  report r "    raw download, shop delay 200 ms"
  printf 'ratio (e)/(raw with delay): %.3f\n' "$(echo "$W_e / $W_r" | bc -l)"
fi
