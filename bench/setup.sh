#!/usr/bin/env bash
# Installs everything the benchmark needs on a Debian machine (run as root):
# the system packages quirelle needs (through tools/setup.sh), Debian's
# r-doc-pdf (the 2,415-page R reference manual used as the large document),
# bench/.venv with quirelle and the peer libraries, and the C++ benchmark
# programs in build/cbench. Safe to run again.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/setup.sh

if ! dpkg-query -W -f='${Status}' r-doc-pdf 2>/dev/null | grep -q "install ok installed"; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends r-doc-pdf >/dev/null
fi

venv=bench/.venv
[ -x "$venv/bin/python" ] || python3 -m venv "$venv"
"$venv/bin/python" -m pip install -q --upgrade pip
"$venv/bin/python" -m pip install -q "scikit-build-core>=0.10" \
  PyMuPDF pymupdf4llm pypdfium2 pdfminer.six pypdf pdfplumber
"$venv/bin/python" -m pip install -q --no-build-isolation -C build-dir=build/bench .
# The C++ benchmark entry points (spans_bench, images_bench, ...).
cmake -S . -B build/cbench -G Ninja -DQUIRELLE_BUILD_BENCH=ON -DQUIRELLE_BUILD_PYTHON=OFF >/dev/null
cmake --build build/cbench >/dev/null
# Remember which commit was installed; run.py prints it with the results.
commit=$(git rev-parse --short HEAD 2>/dev/null || echo unknown)
[ -z "$(git status --porcelain --untracked-files=no 2>/dev/null)" ] || commit="$commit+changes"
echo "$commit" > "$venv/quirelle-commit"
