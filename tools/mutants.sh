#!/usr/bin/env bash
# Plants each one-line fault of tools/mutants.txt in turn, rebuilds the native
# unit tests (with ASan + UBSan, as tools/test.sh runs them), runs them and
# puts the line back; prints every fault the tests missed and how many they
# caught. A measure of what the tests can find, not a test of its own.
#   tools/mutants.sh [LIST]     (build folder: build/mutants)
set -uo pipefail
cd "$(dirname "$0")/.."

list="${1:-tools/mutants.txt}"
build=build/mutants
export LC_ALL=zh_TW.UTF-8

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_COMPILER=clang \
      -DCMAKE_CXX_COMPILER=clang++ -DTARVIX_SANITIZE=ON >/dev/null || exit 1
cmake --build "$build" --target tarvix_unit_tests >/dev/null || { echo "the tests do not build unchanged"; exit 1; }
tests="$build/tests/unit/tarvix_unit_tests"
"$tests" --gtest_brief=1 >/dev/null 2>&1 || { echo "the tests fail unchanged"; exit 1; }

# Puts TEXT's replacement in FILE, or fails when TEXT is not there exactly once.
plant() {
  python3 - "$@" <<'EOF'
import sys
def unescape(s):
    out, i = [], 0
    while i < len(s):
        if s[i] == "\\" and i + 1 < len(s):
            out.append({"n": "\n", "t": "\t", "\\": "\\"}.get(s[i + 1], s[i:i + 2])); i += 2
        else:
            out.append(s[i]); i += 1
    return "".join(out)
path, old, new = sys.argv[1], unescape(sys.argv[2]), unescape(sys.argv[3])
with open(path, encoding="utf-8", newline="") as f:
    text = f.read()
if text.count(old) != 1:
    sys.exit(1)
with open(path, "w", encoding="utf-8", newline="") as f:
    f.write(text.replace(old, new))
EOF
}

saved=$(mktemp)
current=""
# An interrupted run leaves no fault behind.
trap '[ -n "$current" ] && cp "$saved" "$current"; rm -f "$saved"' EXIT
trap 'exit 130' INT TERM
planted=0 caught=0 stale=0 unbuilt=0 line=0
while IFS=$'\t' read -r file old new; do
  line=$((line + 1))
  case "$file" in ''|'#'*) continue ;; esac
  cp "$file" "$saved"
  current=$file
  if ! plant "$file" "$old" "$new"; then
    echo "stale: $list:$line ($file)"; stale=$((stale + 1)); current=""; continue
  fi
  if ! cmake --build "$build" --target tarvix_unit_tests >/dev/null 2>&1; then
    echo "does not build: $list:$line ($file)"; unbuilt=$((unbuilt + 1))
  else
    planted=$((planted + 1))
    # A fault that hangs the tests is caught by the time limit.
    if timeout 120 "$tests" --gtest_brief=1 >/dev/null 2>&1; then
      echo "missed: $list:$line $file: $new"
    else
      caught=$((caught + 1))
    fi
  fi
  cp "$saved" "$file"
  current=""
done < "$list"
# The unchanged sources again, so that the next build does not start from a fault.
cmake --build "$build" --target tarvix_unit_tests >/dev/null 2>&1
echo "caught $caught of $planted planted faults ($stale stale, $unbuilt did not build)"
[ "$planted" -gt 0 ]
