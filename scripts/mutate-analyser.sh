#!/usr/bin/env bash
# Mutation run over the analyser's verdict rules: one mutant at a time, it
#   - deletes a fail(...) or pass(...) call,
#   - negates the condition of an if or else-if,
#   - negates the condition of a set(item, condition),
# in src/core/analyser/analyser.cpp, rebuilds pellam_core_tests and runs the tests
# the filter selects. A mutant that still passes them survives. The source is
# put back after every mutant and on exit, whatever happens.
#
#   scripts/mutate-analyser.sh [-b BUILD_DIR] [-f GTEST_FILTER] [-o REPORT]
#
# BUILD_DIR defaults to build/core (configure it first, see HACKING.md);
# the filter defaults to the item table alone (AnalyserItems.*). The report
# lists every mutant with KILLED, SURVIVED or NOBUILD and ends with counts.
set -euo pipefail

cd "$(dirname "$0")/.."
build=build/core
filter='AnalyserItems.*'
report=mutants.txt
while getopts b:f:o: opt; do
  case $opt in
    b) build=$OPTARG ;;
    f) filter=$OPTARG ;;
    o) report=$OPTARG ;;
    *) sed -n '2,17p' "$0"; exit 2 ;;
  esac
done

source=src/core/analyser/analyser.cpp
original=$(mktemp)
cp "$source" "$original"
restore() {
  cp "$original" "$source"
  rm -f "$original"
}
trap restore EXIT

tests="$build/tests/pellam_core_tests"
cmake --build "$build" -j2 --target pellam_core_tests >/dev/null
"$tests" --gtest_filter="$filter" >/dev/null || {
  echo "the tests fail without any mutant" >&2
  exit 1
}

# Prints one tab-separated line per mutant: start offset, end offset,
# replacement (JSON-quoted, so without tabs) and label. Offsets are character
# offsets into the source.
list_mutants() {
  python3 - "$1" <<'EOF'
import json, re, sys

text = open(sys.argv[1], encoding="utf-8").read()

def closing(i):
    """Index of the parenthesis that closes the one at text[i]."""
    depth = 0
    for j in range(i, len(text)):
        if text[j] == "(":
            depth += 1
        elif text[j] == ")":
            depth -= 1
            if depth == 0:
                return j
    raise ValueError("unbalanced at %d" % i)

def line(i):
    return text.count("\n", 0, i) + 1

def out(start, end, replacement, what, at):
    label = "line %d: %s" % (line(at), " ".join(what.split()))
    print(start, end, json.dumps(replacement), label, sep="\t")

# Skip comments and the definitions of the helpers themselves.
masked = re.sub(r"//[^\n]*", lambda m: " " * len(m.group()), text)
for m in re.finditer(r"\b(fail|pass)\(", masked):
    if re.search(r"void\s+$", masked[max(0, m.start() - 10):m.start()]):
        continue
    end = closing(m.end() - 1) + 1
    out(m.start(), end, "(void)0", "delete %s" % text[m.start():end], m.start())
for m in re.finditer(r"\bif \(", masked):
    open_ = m.end() - 1
    close = closing(open_)
    cond = text[open_ + 1:close]
    out(open_ + 1, close, "!(" + cond + ")", "negate if (%s)" % cond, m.start())
for m in re.finditer(r"\bset\(", masked):
    if re.search(r"void\s+$", masked[max(0, m.start() - 10):m.start()]):
        continue
    close = closing(m.end() - 1)
    comma = text.index(",", m.end())
    cond = text[comma + 1:close].strip()
    start = text.index(cond, comma)
    out(start, start + len(cond), "!(" + cond + ")", "negate set(%s)" % text[m.end():close],
        m.start())
EOF
}

apply_mutant() { # start end replacement-json
  python3 - "$original" "$source" "$1" "$2" "$3" <<'EOF'
import json, sys
src, dst, start, end, repl = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4]), sys.argv[5]
text = open(src, encoding="utf-8").read()
open(dst, "w", encoding="utf-8").write(text[:start] + json.loads(repl) + text[end:])
EOF
}

: >"$report"
killed=0 survived=0 nobuild=0 total=0
while IFS=$'\t' read -r start end repl label; do
  total=$((total + 1))
  apply_mutant "$start" "$end" "$repl"
  if ! cmake --build "$build" -j2 --target pellam_core_tests >/dev/null 2>&1; then
    verdict=NOBUILD
    nobuild=$((nobuild + 1))
  elif "$tests" --gtest_filter="$filter" >/dev/null 2>&1; then
    verdict=SURVIVED
    survived=$((survived + 1))
  else
    verdict=KILLED
    killed=$((killed + 1))
  fi
  printf '%-8s %s\n' "$verdict" "$label" | tee -a "$report"
  cp "$original" "$source"
done < <(list_mutants "$original")

# Leave the build matching the source again.
cmake --build "$build" -j2 --target pellam_core_tests >/dev/null
printf 'mutants %d, killed %d, survived %d, not built %d (filter %s)\n' \
  "$total" "$killed" "$survived" "$nobuild" "$filter" | tee -a "$report"
