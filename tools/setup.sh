#!/usr/bin/env bash
# Installs everything quirelle needs on a Debian machine (run as root), then
# builds and installs the package into .venv. Safe to run again.
#   tools/setup.sh           the library and its command line
#   tools/setup.sh --tests   also what the tests need, with the C++ unit tests built
set -euo pipefail
cd "$(dirname "$0")/.."

with_tests=0
[ "${1:-}" = "--tests" ] && with_tests=1

packages=(g++ cmake ninja-build pkg-config python3 python3-venv python3-dev
  libqpdf-dev libtbb-dev libicu-dev zlib1g-dev libjpeg62-turbo-dev libpng-dev)
if [ "$with_tests" = 1 ]; then
  packages+=(libgtest-dev googletest qpdf poppler-utils binutils clang libclang-rt-dev
    chromium fonts-liberation)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

[ -x .venv/bin/python ] || python3 -m venv .venv
.venv/bin/python -m pip install -q --upgrade pip
.venv/bin/python -m pip install -q "scikit-build-core>=0.10"
if [ "$with_tests" = 1 ]; then
  .venv/bin/python -m pip install -q pytest pytest-xdist pillow
fi

# One persistent build directory: the wheel's CMake build also builds the
# C++ unit tests, so nothing is compiled twice.
tests_flag=OFF
[ "$with_tests" = 1 ] && tests_flag=ON
.venv/bin/python -m pip install -q --no-build-isolation \
  -C build-dir=build/wheel \
  -C cmake.define.QUIRELLE_BUILD_TESTS="$tests_flag" .
