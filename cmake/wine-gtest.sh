#!/usr/bin/env bash
# Runs a GoogleTest program built for Windows for ctest, once for all its
# cases: wine-gtest.sh BITS RESULTS PROGRAM ARGS...
#   --gtest_list_tests      lists the cases under Wine (ctest's discovery);
#   --run-all [ARGS...]     runs every case (or those of a --gtest_filter in
#                           ARGS) in one Wine process and files each
#                           case's lines of output as RESULTS/<case>.log;
#                           fails only when the program did not get through
#                           all its cases;
#   --gtest_filter=CASE ... prints the filed lines of CASE and ends as that
#                           case did: 0 passed (or skipped: GoogleTest's
#                           SKIPPED line says so), 1 failed or never finished.
bits=$1 results=$2 program=$3
shift 3
here=$(dirname "${BASH_SOURCE[0]}")

# A case's file: its name with the '/' of parameterized cases made '%'.
case_file() { echo "$results/${1//\//%}.log"; }

case ${1:-} in
--gtest_list_tests)
    exec bash "$here/wine-run.sh" "$bits" "$program" "$@"
    ;;
--run-all)
    shift
    rm -rf "$results"
    mkdir -p "$results"
    bash "$here/wine-run.sh" "$bits" "$program" --gtest_color=no "$@" >"$results/output.txt" 2>&1
    status=$?
    tr -d '\r' <"$results/output.txt"
    # From each case's RUN line to its end line (OK, FAILED or SKIPPED).
    tr -d '\r' <"$results/output.txt" | awk -v dir="$results" '
        function file(name) { gsub("/", "%", name); return dir "/" name ".log" }
        /^\[ RUN      \] / { current = $4; out = file(current) }
        current != "" { print > out }
        current != "" && /^\[ *(OK|FAILED|SKIPPED) *\] / && index($0, "] " current) {
            close(out)
            current = ""
        }'
    if ! grep -q '^\[==========\] .* ran\.' "$results/output.txt"; then
        echo "FAIL: $program ended (exit status $status) before it had run all its cases"
        exit 1
    fi
    exit 0
    ;;
--gtest_filter=*)
    name=${1#--gtest_filter=}
    file=$(case_file "$name")
    if [[ ! -f $file ]]; then
        echo "FAIL: no result for $name: the run of ${program##*/} did not reach it"
        exit 1
    fi
    cat "$file"
    last=$(tail -n 1 "$file")
    case $last in
    "[       OK ] $name"* | "[  SKIPPED ] $name"*) exit 0 ;;
    "[  FAILED  ] $name"*) exit 1 ;;
    *)
        echo "FAIL: ${program##*/} ended inside $name"
        exit 1
        ;;
    esac
    ;;
*)
    echo "usage: wine-gtest.sh BITS RESULTS PROGRAM --gtest_list_tests|--run-all|--gtest_filter=CASE" >&2
    exit 2
    ;;
esac
