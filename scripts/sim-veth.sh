#!/usr/bin/env bash
# Puts the adapter simulator on a veth pair, so the program can be tried through libpcap:
#   sim-veth.sh up SCENARIO [plcsim options]   e.g. up sim/scenarios/av-home.json
#   sim-veth.sh down
# "up" makes two network namespaces joined by a veth pair: zv-sim holds plcsim on zvsim0,
# zv-prog holds zvprog0 (and lo) for the program, so nothing reaches the machine's own
# interfaces. "down" stops that plcsim (by its recorded process id) and removes both.
# Needs root. BUILD_DIR (default build/) holds the built plcsim.
set -euo pipefail
cd "$(dirname "$0")/.."
simNs=zv-sim progNs=zv-prog simIf=zvsim0 progIf=zvprog0
state=/run/zv-sim-veth
build=${BUILD_DIR:-build}

die() { echo "sim-veth: $*" >&2; exit 1; }
[ "$(id -u)" -eq 0 ] || die "needs root (network namespaces and veth pairs)"

down() {
  if [ -f "$state/plcsim.pid" ]; then
    pid=$(cat "$state/plcsim.pid")
    if kill -0 "$pid" 2>/dev/null; then
      kill "$pid"
      for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    fi
    rm -f "$state/plcsim.pid"
  fi
  ip netns del "$simNs" 2>/dev/null || true
  ip netns del "$progNs" 2>/dev/null || true
}

case "${1:-}" in
  up)
    [ $# -ge 2 ] || die "usage: sim-veth.sh up SCENARIO [plcsim options]"
    scenario=$(realpath "$2"); shift 2
    [ -f "$scenario" ] || die "no scenario file $scenario"
    [ -x "$build/sim/plcsim" ] || BUILD_DIR="$build" bash scripts/build.sh >/dev/null
    ip netns list | grep -qw "$simNs" && die "already up; run sim-veth.sh down first"
    mkdir -p "$state"
    ip netns add "$simNs"
    ip netns add "$progNs"
    ip link add "$progIf" netns "$progNs" type veth peer name "$simIf" netns "$simNs"
    for ns in "$simNs" "$progNs"; do
      ip -n "$ns" link set lo up
      ip netns exec "$ns" sysctl -qw net.ipv6.conf.all.disable_ipv6=1 >/dev/null 2>&1 || true
    done
    ip -n "$simNs" link set "$simIf" up
    ip -n "$progNs" link set "$progIf" up
    ip netns exec "$simNs" "$build/sim/plcsim" --iface "$simIf" --scenario "$scenario" "$@" \
      >"$state/plcsim.log" 2>&1 &
    echo $! >"$state/plcsim.pid"
    for _ in $(seq 50); do grep -q ready "$state/plcsim.log" && break; sleep 0.1; done
    grep -q ready "$state/plcsim.log" || { cat "$state/plcsim.log" >&2; down; die "plcsim did not start"; }
    cat "$state/plcsim.log"
    echo "run the program beside it with:"
    echo "  sudo ip netns exec $progNs $build/app/zv350ctl/zv350ctl nics"
    echo "and remove everything with: sudo bash scripts/sim-veth.sh down"
    ;;
  down) down ;;
  *) die "usage: sim-veth.sh up SCENARIO [plcsim options] | down" ;;
esac
