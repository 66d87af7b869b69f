"""The extension is built for the stable ABI and exports one symbol."""

import os
import shutil
import subprocess

import pytest

import quirelle


def test_extension_is_abi3_with_one_export():
    path = quirelle._quirelle.__file__
    assert os.path.basename(path) == "_quirelle.abi3.so"
    nm = shutil.which("nm")
    if nm is None:
        pytest.skip("nm is not installed")
    out = subprocess.run([nm, "-D", "--defined-only", path], capture_output=True, text=True, check=True).stdout
    exported = [line.split()[-1] for line in out.splitlines() if line.split()[1:2] and line.split()[1] in "TDBRVW"]
    assert exported == ["PyInit__quirelle"]
