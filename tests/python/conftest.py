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
def no_leaked_instances(request):
    """Every test must give back every native object it made."""
    before = counters()
    yield
    # The test's other fixtures are torn down by now, but the test item still
    # holds their values until the whole teardown ends: drop them first.
    funcargs = request.node.funcargs
    for name in [n for n in funcargs if n != "no_leaked_instances"]:
        del funcargs[name]
    assert counters() == before


def vdouble(values):
    """A VDouble holding the given numbers."""
    result = velbomodeler.VDouble()
    result.extend([float(v) for v in values])
    return result


def vvdouble(rows):
    """A VVDouble with one VDouble row per given sequence."""
    result = velbomodeler.VVDouble()
    for row in rows:
        result.append(vdouble(row))
    return result


def as_lists(mapping):
    """A wrapped map of VInt or VDouble values as a plain dict of lists."""
    return {key: list(value) for key, value in velbomodeler.toPythonDict(mapping).items()}


@pytest.fixture
def modeler():
    """A new modeller with no section model."""
    m = velbomodeler.VelboModeler()
    yield m
    del m


@pytest.fixture
def current(modeler):
    """A modeller whose model 1 is current and still empty."""
    assert modeler.addSection(1)
    return modeler


@pytest.fixture
def unit_triangle(current):
    """Model 1 holding triangle 7 on nodes 1 (0, 0), 2 (1, 0) and 3 (0, 1)."""
    m = current
    assert m.addNode(1, 0.0, 0.0)
    assert m.addNode(2, 1.0, 0.0)
    assert m.addNode(3, 0.0, 1.0)
    assert m.addTriangle(7, 1, 2, 3)
    return m


# A 300 x 500 concrete rectangle (x from 0 to 300, y from 0 to 500) made of
# two triangles, with two bars of radius 10 near the bottom edge (y = 460)
# and two of radius 8 near the top edge (y = 40).
RECT_B = 300.0
RECT_H = 500.0
RECT_BARS = ((5, 40.0, 460.0, 10.0), (6, 260.0, 460.0, 10.0), (7, 40.0, 40.0, 8.0), (8, 260.0, 40.0, 8.0))


def add_rc_section(m):
    """Adds the rectangle and its bars to the current model of m."""
    for node, (x, y) in enumerate(((0.0, 0.0), (RECT_B, 0.0), (RECT_B, RECT_H), (0.0, RECT_H)), start=1):
        assert m.addNode(node, x, y)
    assert m.addTriangle(1, 1, 2, 3)
    assert m.addTriangle(2, 1, 3, 4)
    for circle, (node, x, y, r) in enumerate(RECT_BARS, start=1):
        assert m.addNode(node, x, y)
        assert m.addCircle(circle, node, r)


@pytest.fixture
def rc_section(current):
    add_rc_section(current)
    return current
