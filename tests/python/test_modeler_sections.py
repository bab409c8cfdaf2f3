"""Areas, barycentres and area properties of the concrete, the bars and the
ideal section, and the homogenisation coefficient."""

import math
import struct

import pytest

import velbomodeler as vm
from conftest import RECT_B, RECT_BARS, RECT_H

PROPERTY_NAMES = ["area", "sx", "ixx", "iyy", "ixy", "ixxx", "ixxy"]


def record(p):
    return {name: getattr(p, name) for name in PROPERTY_NAMES}


def single(x):
    """x rounded to single precision."""
    return struct.unpack("f", struct.pack("f", x))[0]


# Hand calculation for the rectangle b x h with a corner at the origin:
# the integrals of 1, y, y², x², x·y, y³ and x·y² over it.
B, H = RECT_B, RECT_H
SOLID = {
    "area": B * H,
    "sx": B * H**2 / 2,
    "ixx": B * H**3 / 3,
    "iyy": H * B**3 / 3,
    "ixy": B**2 * H**2 / 4,
    "ixxx": B * H**4 / 4,
    "ixxy": B**2 * H**3 / 6,
}
# Bars: each one's area r²·π placed at its centre.
BAR_AREAS = [r * r * math.pi for (_, _, _, r) in RECT_BARS]
POINT = {
    "area": sum(BAR_AREAS),
    "sx": sum(a * y for a, (_, _, y, _) in zip(BAR_AREAS, RECT_BARS)),
    "ixx": sum(a * y * y for a, (_, _, y, _) in zip(BAR_AREAS, RECT_BARS)),
    "iyy": sum(a * x * x for a, (_, x, _, _) in zip(BAR_AREAS, RECT_BARS)),
    "ixy": sum(a * x * y for a, (_, x, y, _) in zip(BAR_AREAS, RECT_BARS)),
    "ixxx": 0.0,
    "ixxy": 0.0,
}
N = 15.0
IDEAL = {name: SOLID[name] + N * POINT[name] for name in PROPERTY_NAMES}
IDEAL["ixxx"] = SOLID["ixxx"]
IDEAL["ixxy"] = SOLID["ixxy"]


def approx_record(expected):
    return {name: pytest.approx(value, rel=1e-12) for name, value in expected.items()}


def test_concrete_of_the_rectangle(rc_section):
    m = rc_section
    assert m.trianglesSize() == 2
    assert m.calcSolidArea() == pytest.approx(150000.0, rel=1e-14)
    g = m.calcSolidBarycenter()
    assert type(g) is vm.VelboNode2D
    assert (g.id, g.xn, g.yn) == (0, pytest.approx(150.0, rel=1e-14), pytest.approx(250.0, rel=1e-14))
    props = m.calcSolidAreaProperties()
    assert type(props) is vm.VelboAreaProperties
    assert record(props) == approx_record(SOLID)


def test_bars_of_the_rectangle(rc_section):
    m = rc_section
    assert m.circlesSize() == 4
    assert m.calcPointArea() == pytest.approx(328.0 * math.pi, rel=1e-14)
    by_area = m.calcPointBarycenter(True)
    y_by_area = (2 * 100.0 * 460.0 + 2 * 64.0 * 40.0) / 328.0
    assert (by_area.xn, by_area.yn) == (pytest.approx(150.0), pytest.approx(y_by_area, rel=1e-14))
    by_count = m.calcPointBarycenter(False)
    assert (by_count.xn, by_count.yn) == (pytest.approx(150.0), pytest.approx(250.0, rel=1e-14))
    assert record(m.calcPointAreaProperties()) == approx_record(POINT)


def test_ideal_section_with_n_15(rc_section):
    m = rc_section
    assert m.nCoeff() == 1.0
    assert m.calcIdealArea() == pytest.approx(150000.0 + 328.0 * math.pi, rel=1e-14)
    assert m.setNCoeff(15) is True
    assert m.nCoeff() == 15.0
    ideal_area = 150000.0 + N * 328.0 * math.pi
    assert m.calcIdealArea() == pytest.approx(ideal_area, rel=1e-14)
    assert m.calcIdealArea() == pytest.approx(m.calcSolidArea() + 15 * m.calcPointArea(), rel=1e-15)
    g = m.calcIdealBarycenter()
    assert (g.id, g.xn, g.yn) == (0, pytest.approx(150.0), pytest.approx(IDEAL["sx"] / ideal_area, rel=1e-13))
    assert record(m.calcIdealAreaProperties()) == approx_record(IDEAL)
    # The concrete and the bars alone do not change with n.
    assert record(m.calcSolidAreaProperties()) == approx_record(SOLID)
    assert record(m.calcPointAreaProperties()) == approx_record(POINT)


def test_results_are_independent_copies(rc_section):
    m = rc_section
    props = m.calcSolidAreaProperties()
    props.area = 1.0
    g = m.calcSolidBarycenter()
    g.xn = -1.0
    assert m.calcSolidAreaProperties().area == pytest.approx(150000.0)
    assert m.calcSolidBarycenter().xn == pytest.approx(150.0)


def test_n_is_single_precision_and_per_model(rc_section):
    m = rc_section
    assert m.setNCoeff(0.1)
    assert m.nCoeff() == single(0.1)
    assert m.nCoeff() != 0.1
    assert m.addSection(2)
    assert m.nCoeff() == 1.0
    assert m.setNCoeff(-2)
    assert m.nCoeff() == -2.0
    assert m.setCurrent(1)
    assert m.nCoeff() == single(0.1)


def test_n_zero_gives_the_concrete(rc_section):
    m = rc_section
    assert m.setNCoeff(0.0)
    assert m.calcIdealArea() == m.calcSolidArea()
    ideal, solid = m.calcIdealBarycenter(), m.calcSolidBarycenter()
    assert (ideal.xn, ideal.yn) == (pytest.approx(solid.xn), pytest.approx(solid.yn))


def test_quarter_turn_moves_the_barycentre(rc_section):
    m = rc_section
    m.sectionRotate(90, 0, 0)
    g = m.calcSolidBarycenter()
    assert (g.xn, g.yn) == (pytest.approx(-250.0), pytest.approx(150.0))
    assert m.calcSolidArea() == pytest.approx(150000.0)


def test_model_without_elements(current):
    m = current
    assert (m.calcSolidArea(), m.calcPointArea(), m.calcIdealArea()) == (0.0, 0.0, 0.0)
    for p in (m.calcSolidAreaProperties(), m.calcPointAreaProperties(), m.calcIdealAreaProperties()):
        assert record(p) == dict.fromkeys(PROPERTY_NAMES, 0.0)
    for g in (m.calcSolidBarycenter(), m.calcPointBarycenter(True), m.calcPointBarycenter(False), m.calcIdealBarycenter()):
        assert math.isnan(g.xn) and math.isnan(g.yn)


def test_model_with_concrete_only(current):
    m = current
    for i, (x, y) in enumerate(((0.0, 0.0), (4.0, 0.0), (0.0, 3.0)), start=1):
        assert m.addNode(i, x, y)
    assert m.addTriangle(1, 1, 2, 3)
    assert m.calcPointArea() == 0.0
    assert math.isnan(m.calcPointBarycenter(True).yn)
    ideal, solid = m.calcIdealBarycenter(), m.calcSolidBarycenter()
    assert (ideal.xn, ideal.yn) == (solid.xn, solid.yn) == (pytest.approx(4.0 / 3.0), pytest.approx(1.0))
    assert record(m.calcSolidAreaProperties()) == {
        "area": pytest.approx(6.0),
        "sx": pytest.approx(6.0),
        "ixx": pytest.approx(9.0),
        "iyy": pytest.approx(16.0),
        "ixy": pytest.approx(6.0),
        "ixxx": pytest.approx(16.2),
        "ixxy": pytest.approx(7.2),
    }


# Each method without a current model: its failure value.
NO_MODEL = [
    ("calcSolidBarycenter", (), "node"),
    ("calcPointBarycenter", (True,), "node"),
    ("calcIdealBarycenter", (), "node"),
    ("calcSolidAreaProperties", (), "record"),
    ("calcPointAreaProperties", (), "record"),
    ("calcIdealAreaProperties", (), "record"),
    ("calcSolidArea", (), 0.0),
    ("calcPointArea", (), 0.0),
    ("calcIdealArea", (), 0.0),
    ("setNCoeff", (15,), False),
    ("nCoeff", (), 0.0),
]


@pytest.mark.parametrize("name, args, failure", NO_MODEL, ids=[c[0] for c in NO_MODEL])
def test_without_current_model(modeler, capfd, name, args, failure):
    assert modeler.addSection(1, False)
    capfd.readouterr()
    result = getattr(modeler, name)(*args)
    assert capfd.readouterr().err == "ERR: None model current yet.\n"
    if failure == "node":
        assert (result.id, result.xn, result.yn) == (0, 0.0, 0.0)
    elif failure == "record":
        assert record(result) == dict.fromkeys(PROPERTY_NAMES, 0.0)
    else:
        assert result == failure and type(result) is type(failure)
