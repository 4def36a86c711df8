#!/usr/bin/env bash
# Starts the demo shop and the desktop program on a fresh embedded database, already connected to the shop,
# in a temporary per-user folder. Everything stays on this machine (127.0.0.1).
set -euo pipefail
BUILD_DIR=${1:-build}
BIN="$BUILD_DIR/bin"
work=$(mktemp -d -t quillerby-demo.XXXXXX)
shop_pid=""
cleanup() {
  [ -n "$shop_pid" ] && kill "$shop_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

key=ck_demo_2f7d41c0a9b35e68
secret=cs_demo_8e1b57d93c264af0
"$BIN/quillerby-demo-shop" --port 0 --key "$key" --secret "$secret" --orders 3000 --products 300 --seed 20261211 \
  > "$work/shop.log" 2>&1 &
shop_pid=$!
for _ in $(seq 1 100); do
  url=$(sed -n 's/^listening on //p' "$work/shop.log" | head -n 1)
  [ -n "$url" ] && break
  sleep 0.1
done
if [ -z "${url:-}" ]; then
  echo "The demo shop did not start:" >&2
  cat "$work/shop.log" >&2
  exit 1
fi
url=${url%/}
echo "Demo shop: $url (key $key, secret $secret)"

export XDG_CONFIG_HOME="$work/config"
home="$XDG_CONFIG_HOME/brantlow"
mkdir -p "$work/Documents"
"$BIN/quillerby-cli" --home "$home" --documents "$work/Documents" setup --engine sqlite
# Searches for SQL Servers stay on this machine.
printf 'ServerBrowseAddress=127.0.0.1\n' >> "$home/config.ini"
"$BIN/quillerby-cli" --home "$home" store-test --url "$url" --key "$key" --secret "$secret"
echo "Per-user folder: $home"
"$BIN/quillerby"
