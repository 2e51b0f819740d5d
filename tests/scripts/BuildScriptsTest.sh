#!/usr/bin/env bash
# ./run-station and then ./run-tests, as on a fresh clone, with cmake, ctest and the package
# query replaced by stand-ins that keep each build folder's cache as CMake would (options
# given on a configure stay until another configure changes them). Every ctest run must meet
# the tests of the folder it runs in, must be told to fail when it finds none, and the test
# run must not build the benchmarks.
set -euo pipefail
src=${1:?usage: BuildScriptsTest.sh SOURCE_DIR}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
repo=$work/repo
mkdir -p "$repo/scripts" "$repo/lang" "$work/bin"
cp "$src/run-station" "$src/run-tests" "$repo/"
cp "$src/scripts/common.sh" "$repo/scripts/"
# The code-rule checks have their own runs in run-tests; here they only have to be called.
for check in check-format check-includes; do
    printf '#!/bin/sh\necho "%s" >>"$STUB_LOG"\n' "$check" >"$repo/scripts/$check"
    chmod +x "$repo/scripts/$check"
done
cp "$src/lang/english.ini" "$repo/lang/"
export STUB_LOG=$work/log
: >"$STUB_LOG"
# The package check has its own test; here it only has to be called with the plain build.
cat >"$repo/scripts/check-package" <<'EOF'
#!/bin/sh
echo "package $1" >>"$STUB_LOG"
EOF
chmod +x "$repo/scripts/check-package"

# Every package counts as installed.
cat >"$work/bin/dpkg-query" <<'EOF'
#!/bin/sh
printf 'install ok installed'
EOF

# cmake -S SRC -B DIR [-G GEN] [-DNAME=VALUE ...] keeps DIR/cache (NAME=VALUE, the last one
# given wins, as in CMakeCache.txt); cmake --build DIR ... leaves stand-ins of the programs.
cat >"$work/bin/cmake" <<'EOF'
#!/usr/bin/env bash
set -euo pipefail
args=("$@")
if [ "${args[0]}" = --build ]; then
    dir=${args[1]}
    echo "build $dir" >>"$STUB_LOG"
    mkdir -p "$dir"
    printf '#!/bin/sh\nexit 0\n' >"$dir/korvel"
    # the simulator makes its line and waits to be stopped
    printf '#!/bin/sh\n[ "$1" = --link ] && : >"$2"\nexec sleep 30\n' >"$dir/korvel-sim"
    chmod +x "$dir/korvel" "$dir/korvel-sim"
    exit 0
fi
dir=
for ((i = 0; i < ${#args[@]}; ++i)); do
    [ "${args[i]}" = -B ] && dir=${args[i + 1]}
done
mkdir -p "$dir"
touch "$dir/cache"
for a in "${args[@]}"; do
    case $a in
    -D*)
        kv=${a#-D}
        grep -v "^${kv%%=*}=" "$dir/cache" >"$dir/cache.new" || true
        echo "$kv" >>"$dir/cache.new"
        mv "$dir/cache.new" "$dir/cache"
        ;;
    esac
done
echo "configure $dir $(tr '\n' ' ' <"$dir/cache")" >>"$STUB_LOG"
EOF

# ctest --test-dir DIR ...: a folder configured with KORVEL_TESTS=OFF has no tests; ctest then
# says so and succeeds, unless told --no-tests=error.
cat >"$work/bin/ctest" <<'EOF'
#!/usr/bin/env bash
dir=
strict=no
args=("$@")
for ((i = 0; i < ${#args[@]}; ++i)); do
    [ "${args[i]}" = --test-dir ] && dir=${args[i + 1]}
    [ "${args[i]}" = --no-tests=error ] && strict=yes
done
tests=ON
grep -q '^KORVEL_TESTS=OFF$' "$dir/cache" 2>/dev/null && tests=OFF
echo "ctest $dir tests=$tests strict=$strict" >>"$STUB_LOG"
if [ "$tests" = OFF ]; then
    echo "No tests were found!!!"
    [ "$strict" = yes ] && exit 8
fi
exit 0
EOF
chmod +x "$work/bin/"*

export PATH="$work/bin:$PATH"
export KORVEL_WORKDIR=$work/station
status=0
"$repo/run-station" >"$work/station.out" 2>&1 || { echo "run-station failed:"; cat "$work/station.out"; exit 1; }
"$repo/run-tests" >"$work/tests.out" 2>&1 || status=$?

fail=0
if grep -q 'tests=OFF' "$STUB_LOG"; then
    echo "FAIL: ctest ran in a build folder whose tests are switched off:"
    grep 'tests=OFF' "$STUB_LOG"
    fail=1
fi
if grep '^ctest' "$STUB_LOG" | grep -q 'strict=no'; then
    echo "FAIL: ctest runs that pass when they find no tests:"
    grep 'strict=no' "$STUB_LOG"
    fail=1
fi
if [ "$(grep -c '^ctest' "$STUB_LOG")" -lt 4 ]; then
    echo "FAIL: run-tests did not run the four test builds"
    fail=1
fi
for check in check-format check-includes; do
    if ! grep -qx "$check" "$STUB_LOG"; then
        echo "FAIL: run-tests did not run scripts/$check"
        fail=1
    fi
done
if ! grep -qx "package $repo/build" "$STUB_LOG"; then
    echo "FAIL: run-tests did not check the package of the plain build"
    fail=1
fi
if [ "$status" -ne 0 ]; then
    echo "FAIL: run-tests ended with status $status"
    cat "$work/tests.out"
    fail=1
fi
# run-tests on its own, on a clone that has never been built: no benchmarks either.
rm -rf "$repo"/build*
"$repo/run-tests" >"$work/tests2.out" 2>&1 || { echo "FAIL: run-tests alone failed"; fail=1; }
for dir in build build-asan build-tsan build-fuzz; do
    cache=$repo/$dir/cache
    if ! grep -qx 'KORVEL_BENCH=OFF' "$cache"; then
        echo "FAIL: run-tests configures $dir to build the benchmarks"
        fail=1
    fi
    if ! grep -qx 'KORVEL_WERROR=ON' "$cache"; then
        echo "FAIL: run-tests lets $dir build with compiler warnings"
        fail=1
    fi
done
if [ "$fail" -ne 0 ]; then
    echo "--- what the stand-ins saw:"
    cat "$STUB_LOG"
    exit 1
fi
echo "run-station then run-tests: every test build ran its tests"
