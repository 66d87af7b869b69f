#!/usr/bin/env bash
# Sets everything up (tools/setup.sh --tests) and runs every test: the C++
# unit tests through ctest, the Python tests through pytest, then the C++
# unit tests again under AddressSanitizer and UndefinedBehaviorSanitizer and
# a one-minute fuzzing run (tools/fuzz.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh --tests
ctest --test-dir build/wheel --output-on-failure -j "$(nproc)" >build/wheel/ctest.log 2>&1 \
  || { tail -80 build/wheel/ctest.log; exit 1; }
tail -3 build/wheel/ctest.log
# The browser test finds the page tool in the wheel's build directory and
# must not skip here.
QUIRELLE_TOOLS_DIR=build/wheel QUIRELLE_REQUIRE_BROWSER=1 \
  .venv/bin/python -m pytest -q -n "$(nproc)" tests
bash tools/fuzz.sh 60
