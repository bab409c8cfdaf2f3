import gc
import os
import sys

import pytest

# The built module lives in the build tree; the test command says which one.
_here = os.path.dirname(os.path.abspath(__file__))
_default = os.path.join(_here, "..", "..", "build", "python")
sys.path.insert(0, os.environ.get("VELBO_MODULE_DIR", _default))

import velbomodeler  # noqa: E402

COUNTERS = (
    "instancesOfModels",
    "instancesOfMesh",
    "instancesOfNode2D",
    "instancesOfTriangle",
    "instancesOfCircle",
    "instancesOfEdge2D",
    "instancesOfLawBilinear",
    "instancesOfLawParabola",
    "instancesOfInteractionPoints",
    "instancesOfSectionForces",
)


def counters():
    gc.collect()
    return {name: getattr(velbomodeler.VelboModeler, name)() for name in COUNTERS}


@pytest.fixture
def vm():
    return velbomodeler


@pytest.fixture(autouse=True)
def no_leaked_instances():
    """Every test must give back every native object it made."""
    before = counters()
    yield
    assert counters() == before
