#!/usr/bin/env bash
# The XML reader's scaling in instructions rather than seconds: callgrind counts the instructions
# executed inside CXmlNode::Parse for each shape at its base size and at ten times that size. The
# count does not depend on what else the machine is doing, so the ratio is exact and repeatable.
#   bench/instructions.sh          (needs valgrind; builds the bench preset)
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
cmake --preset bench >/dev/null
cmake --build --preset bench >/dev/null
bench=build/bench/bin/xml_bench
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

count() {
    valgrind --tool=callgrind --callgrind-out-file="$out/cg" --toggle-collect='CXmlNode::Parse*' \
        "$bench" --parse-once "$1" "$2" >/dev/null 2>&1
    callgrind_annotate "$out/cg" 2>/dev/null | awk '/PROGRAM TOTALS/ { gsub(",", "", $1); print $1; exit }'
}

printf "%-30s %16s %16s %8s\n" shape "base instr." "10x instr." ratio
for shape in "typical" "attributes" "comments" "entity" "nesting" "escapes"; do
    small=$(count "$shape" 1)
    large=$(count "$shape" 10)
    awk -v s="$shape" -v a="$small" -v b="$large" 'BEGIN { printf "%-30s %16d %16d %8.2f\n", s, a, b, b / a }'
done
