#!/usr/bin/env bash
# Builds the benchmarks in Release (build-bench/, or $BENCH_BUILD_DIR) and runs every one of them,
# then prints one table: each figure beside a reference measured in the same run, their ratio, the
# goal and the peak memory of the process that measured it. Never part of the tests.
#
#   scripts/bench.sh            everything
#   scripts/bench.sh picker     only the benchmarks whose name contains "picker"
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BENCH_BUILD_DIR:-$root/build-bench}
only=${1:-}
export QT_QPA_PLATFORM=offscreen
export CCACHE_BASEDIR=$root

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBRASKO_BENCH=ON "${launcher[@]}" >/dev/null
mapfile -t targets < <(ninja -C "$build" -t targets all | sed -n 's/^\(bench_[a-z_]*\): phony$/\1/p' | sort -u)
cmake --build "$build" -j2 --target "${targets[@]}"
bin=$build/bin

results=$(mktemp)
trap 'rm -f "$results"' EXIT

run() { # name, command...
    local name=$1
    shift
    if [ -n "$only" ] && [[ $name != *"$only"* ]]; then return; fi
    [ -x "$1" ] || { echo "-- $name: not built, skipped" >&2; return; }
    echo "-- $name" >&2
    if ! "$@" 2>/dev/null | tee -a "$results" | { grep -v '^RESULT|' >&2 || true; }; then
        echo "   $name failed" >&2
    fi
}

run startup "$bin/bench_startup" 15
run picker "$bin/bench_picker" 20000
run picker-100k "$bin/bench_picker" 100000
run picker-100k-server "$bin/bench_picker" 100000 9 server
run picker-search "$bin/bench_pickersearch" 100000
run picker-search-server "$bin/bench_pickersearch" 100000 9 server
run export "$bin/bench_export" 100000
run import "$bin/bench_import" 100000
run import-server "$bin/bench_import" 100000 3 server
run import-1m "$bin/bench_import" 1000000 1
run import-1m-refused "$bin/bench_import" 1000000 1 refused
run compat "$bin/bench_compat" 100000
run amount "$bin/bench_amount"
run plan "$bin/bench_plan"
run server "$bin/bench_server" 20000
run makeorder "$bin/bench_makeorder" 50000
run clientnames "$bin/bench_clientnames" 50000 100000
if [ -x "$bin/bench_print" ] && { [ -z "$only" ] || [[ print == *"$only"* ]]; }; then
    if bash "$root/tests/support/cups-fixture.sh" >/dev/null 2>&1; then
        run print "$bin/bench_print"
    else
        echo "-- print: no local print system (tests/support/cups-fixture.sh failed), skipped" >&2
    fi
fi

echo
awk -F'|' '
function fmt(v, u) { return (u == "MB" || u == "us") ? sprintf("%.1f %s", v, u) : sprintf("%.2f %s", v, u) }
$1 == "RESULT" {
    what = $2; value = $3 + 0; unit = $4; ref = $5; refv = $6 + 0; goal = $7; kb = $8 + 0
    ratio = (ref != "" && refv > 0) ? sprintf("%.2fx", value / refv) : "-"
    met = ""
    split(goal, g, ":")
    if (g[1] == "ratio" && refv > 0) met = (value / refv <= g[2] + 0) ? "yes" : "NO"
    if (g[1] == "ms") met = (value < g[2] + 0) ? "yes" : "NO"
    if (g[1] == "mb") met = (kb / 1024 < g[2] + 0) ? "yes" : "NO"
    goaltext = goal == "" ? "-" : (g[1] == "ratio" ? "<= " g[2] "x" : "< " g[2] " " (g[1] == "mb" ? "MB" : "ms"))
    printf "%-62s %12s  %-36s %12s %8s  %-10s %-4s %8.1f\n", what, fmt(value, unit), (ref == "" ? "-" : ref),
           (ref == "" ? "-" : fmt(refv, unit)), ratio, goaltext, (met == "" ? "-" : met), kb / 1024
}
BEGIN {
    printf "%-62s %12s  %-36s %12s %8s  %-10s %-4s %8s\n", "Benchmark", "Figure", "Reference (same run)", "Ref.", "Ratio",
           "Goal", "Met", "Peak MB"
}' "$results"
