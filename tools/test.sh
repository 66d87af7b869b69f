#!/usr/bin/env bash
# Sets everything up (tools/setup.sh --tests) and runs every test: the C++
# unit tests through ctest, then the Python tests through pytest.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh --tests
ctest --test-dir build/wheel --output-on-failure -j "$(nproc)"
.venv/bin/python -m pytest -q -n "$(nproc)" tests
