#!/usr/bin/env bash
# make test-sanitize: the suite of a QUIVEL_SANITIZE build (ASan and UBSan), under C.UTF-8 and
# fr_FR.UTF-8. Every process writes its sanitizer reports to a file of BUILD_DIR/
# sanitizer-reports/, the simulator's too (the tests keep its stderr to themselves): a report
# from any process fails the run, and is printed at the end.
set -uo pipefail
cd "$(dirname "$0")/.."
build=$(cd "$1" && pwd)
reports="$build/sanitizer-reports"
rm -rf "$reports"
mkdir -p "$reports"

# Leaks are errors too; undefined behaviour already stops the program (built not to recover).
export ASAN_OPTIONS="detect_leaks=1:strict_init_order=1:log_path=$reports/asan"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:log_path=$reports/ubsan"
export QT_QPA_PLATFORM=offscreen

status=0
for locale in C.UTF-8 fr_FR.UTF-8; do
    echo "== Tests under AddressSanitizer and UndefinedBehaviorSanitizer, $locale"
    (cd "$build" && LANG=$locale LC_ALL=$locale ctest --output-on-failure --timeout 300) || status=1
done
for report in "$reports"/*; do
    [ -e "$report" ] || continue
    echo "== $report"
    cat "$report"
    status=1
done
exit $status
