import os
import sys

import pytest

sys.path.insert(0, os.path.dirname(__file__))

CORPUS = os.path.join(os.path.dirname(__file__), "..", "..", "shared", "corpus", "real")


@pytest.fixture
def corpus():
    """Path of a file of the shared real-world corpus."""
    def path(name):
        full = os.path.join(CORPUS, name)
        if not os.path.exists(full):
            pytest.skip("corpus file {} is not present".format(name))
        return full
    return path
