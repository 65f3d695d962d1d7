#!/usr/bin/env bash
# Installs what is missing, builds in build/ and runs every test, then builds
# the tests again with AddressSanitizer and UndefinedBehaviorSanitizer in
# build-asan/ and runs them there too.  The end-to-end tests start their own
# Xvfb; no display is needed.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

install_missing_packages

configure_and_build build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESTETAU_WERROR=ON
configure_and_build build-asan -DCMAKE_BUILD_TYPE=Debug -DTESTETAU_WERROR=ON \
  -DTESTETAU_SANITIZE=ON -DTESTETAU_BENCH=OFF

status=0
echo "== tests =="
ctest --test-dir "$repo_root/build" --output-on-failure --timeout 300 -j 2 || status=1
echo "== tests with AddressSanitizer and UndefinedBehaviorSanitizer =="
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir "$repo_root/build-asan" --output-on-failure --timeout 600 -j 2 || status=1
exit "$status"
