#!/usr/bin/env bash
# The checks CI runs after the normal tests:
#  1. the whole test suite once more, built by clang with AddressSanitizer and
#     UndefinedBehaviorSanitizer (build-asan/, or $ASAN_BUILD_DIR);
#  2. every libFuzzer target for a bounded time each ($FUZZ_SECONDS, 25 by default), starting
#     from its corpus in fuzz/corpus/<target>/. The fuzzers are built in the same tree as the
#     sanitizer tests (its libraries carry the fuzzers' coverage as well), so the code is compiled
#     once for both; $FUZZ_BUILD_DIR names another tree for a fuzz stage run on its own.
# Any sanitizer report, failed test or fuzzer crash makes it exit non-zero. It prints how long each
# stage took.
#
#   scripts/ci-extra.sh                  both stages
#   scripts/ci-extra.sh sanitize|fuzz    one stage
#   scripts/ci-extra.sh merge-corpus     fuzz longer and fold what was found into fuzz/corpus
#                                        (a minimal set, at most 200 files a target); for
#                                        maintainers, never run by CI
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
stage=${1:-all}
asan_build=${ASAN_BUILD_DIR:-$root/build-asan}
fuzz_build=${FUZZ_BUILD_DIR:-$asan_build}
fuzz_seconds=${FUZZ_SECONDS:-25}
jobs=${JOBS:-2}
export CCACHE_BASEDIR=$root
export QT_QPA_PLATFORM=offscreen
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
# CI (CI=true) lets no warning through, in these builds as in the plain one. Its sanitizer build
# starts from an empty cache, so it precompiles the Qt headers and links with lld (see build.sh).
sanitize_config=()
if [ "${CI:-}" = true ]; then
  launcher+=(-DBRASKO_WERROR=ON)
  sanitize_config=(-DBRASKO_PCH=ON -DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld)
fi
fuzzers=(fuzz_amount fuzz_numbers fuzz_plan fuzz_registryfile fuzz_statements fuzz_supplierfile)

started=$(date +%s)
lap() { echo "== $1: $(( $(date +%s) - started )) s since start"; }

# One clang tree for both stages: -O1 keeps the instrumented tests quick; -g1 is enough for the
# line numbers of a report.
configure_clang() {
    cmake -S "$root" -B "$1" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g1" \
        -DCMAKE_CXX_COMPILER=clang++ -DBRASKO_SANITIZE=ON -DBRASKO_FUZZ=ON -DBRASKO_BENCH=OFF \
        "${launcher[@]}" "${sanitize_config[@]}" >/dev/null
}

sanitize() {
    echo "== sanitizer build (clang, ASan + UBSan, with the fuzzers) in $asan_build"
    configure_clang "$asan_build"
    cmake --build "$asan_build" -j"$jobs"
    lap "sanitizer build"
    # intercept_tls_get_addr=0: clang 14's leak checker, reading the dynamic TLS blocks that it
    # tracks through __tls_get_addr under glibc 2.36, can take a garbage block for one and crash
    # in its own tracer at exit ("Tracer caught signal 11"), depending only on how a binary happens
    # to be laid out. Untracked, those blocks are not scanned: that could only add reports, never
    # hide a leak.
    local asan=detect_leaks=1:check_initialization_order=1:intercept_tls_get_addr=0
    export LSAN_OPTIONS=suppressions=$root/tests/sanitizers.supp:print_suppressions=0
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
    # The fast unwinder stops at the first frame of a library built without frame pointers, so a
    # leak inside one cannot be matched by the suppressions. The tests that load the ODBC drivers,
    # where that happens, unwind fully (tests/windows/CMakeLists.txt, tests/orders/CMakeLists.txt); the rest keep the fast
    # unwinder, the full one being ten times slower. One pass: any leak or failure fails the run.
    (cd "$asan_build" && ASAN_OPTIONS=$asan ctest --output-on-failure -j"$jobs")
    lap "sanitizer tests"
}

build_fuzzers() {
    echo "== fuzz build (clang, libFuzzer) in $fuzz_build"
    # After the sanitizer stage, in its tree, there is nothing left to build.
    configure_clang "$fuzz_build"
    cmake --build "$fuzz_build" -j"$jobs" --target "${fuzzers[@]}"
    lap "fuzz build"
}

fuzz() {
    build_fuzzers
    local work
    work=$(mktemp -d)
    local failed=0
    for f in "${fuzzers[@]}"; do
        # New finds go to a scratch folder, so a run never changes the corpus kept in the repository.
        mkdir -p "$work/$f"
        echo "== $f for ${fuzz_seconds} s"
        if ! "$fuzz_build/bin/$f" -max_total_time="$fuzz_seconds" -timeout=10 -rss_limit_mb=2048 \
            -artifact_prefix="$work/" -print_final_stats=1 "$work/$f" "$root/fuzz/corpus/$f" >"$work/$f.log" 2>&1; then
            failed=1
            echo "!! $f found a failure:"
            grep -A40 -E 'ERROR|check failed|runtime error' "$work/$f.log" | head -60 || tail -40 "$work/$f.log"
        else
            grep -E '^stat::number_of_executed_units|^Done' "$work/$f.log" | tail -1
        fi
    done
    lap "fuzzing"
    rm -rf "$work"
    return $failed
}

merge_corpus() {
    build_fuzzers
    local work
    work=$(mktemp -d)
    for f in "${fuzzers[@]}"; do
        mkdir -p "$work/$f-found" "$work/$f-min"
        "$fuzz_build/bin/$f" -max_total_time="$fuzz_seconds" -timeout=10 -rss_limit_mb=2048 \
            "$work/$f-found" "$root/fuzz/corpus/$f" >/dev/null 2>&1
        # Small inputs first, so the minimal set prefers them.
        "$fuzz_build/bin/$f" -merge=1 -max_len=4096 "$work/$f-min" "$root/fuzz/corpus/$f" "$work/$f-found" >/dev/null 2>&1
        mapfile -t kept < <(ls -S -r "$work/$f-min" | head -200)
        rm -f "$root/fuzz/corpus/$f"/*
        for k in "${kept[@]}"; do cp "$work/$f-min/$k" "$root/fuzz/corpus/$f/"; done
        echo "$f: ${#kept[@]} files, $(du -sk "$root/fuzz/corpus/$f" | cut -f1) KB"
    done
    rm -rf "$work"
}

case $stage in
    all) sanitize; fuzz ;;
    sanitize) sanitize ;;
    fuzz) fuzz ;;
    merge-corpus) merge_corpus ;;
    *) echo "usage: $0 [all|sanitize|fuzz|merge-corpus]" >&2; exit 2 ;;
esac
lap "done"
