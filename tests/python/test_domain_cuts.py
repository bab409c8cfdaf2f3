"""Cuts of the interaction domain at its bounds and beyond the range of single precision."""

import math
import struct

import pytest
from conftest import add_rc_section

CUTS = ("intersectAtXDir", "intersectAtYDir", "intersectAtZDir")


def f32(value):
    """The single-precision value nearest to a double."""
    return struct.unpack("f", struct.pack("f", value))[0]


def add_one_sided_beam(m):
    """300 x 500 with three bars of diameter 20 at 50 above the bottom face, none at the top."""
    for node, (x, y) in enumerate(((0, 0), (300, 0), (300, 500), (0, 500)), start=1):
        assert m.addNode(node, x, y)
    assert m.addTriangle(1, 1, 2, 3)
    assert m.addTriangle(2, 1, 3, 4)
    for i, x in enumerate((50.0, 150.0, 250.0)):
        assert m.addNode(5 + i, x, 450.0)
        assert m.addCircle(1 + i, 5 + i, 10.0)


def add_tee(m):
    """A 600 x 120 flange over a 250 x 480 web, bars low in the web and in the flange."""
    nodes = [(0, 0), (600, 0), (600, 120), (425, 120), (175, 120), (0, 120), (425, 600), (175, 600),
             (425, 360), (175, 360)]
    for node, (x, y) in enumerate(nodes, start=1):
        assert m.addNode(node, x, y)
    triangles = [(1, 2, 4), (2, 3, 4), (1, 4, 5), (1, 5, 6), (5, 4, 9), (5, 9, 10), (10, 9, 7), (10, 7, 8)]
    for triangle, vertices in enumerate(triangles, start=1):
        assert m.addTriangle(triangle, *vertices)
    bars = [(215, 560, 12), (300, 560, 12), (385, 560, 12), (60, 40, 8), (300, 40, 8), (540, 40, 8)]
    for circle, (x, y, r) in enumerate(bars, start=1):
        assert m.addNode(20 + circle, x, y)
        assert m.addCircle(circle, 20 + circle, r)


@pytest.fixture(params=[add_one_sided_beam, add_rc_section, add_tee], ids=["one-sided", "rectangle", "tee"])
def domain(current, request):
    request.param(current)
    assert current.buildDomain(4, 10, False)
    return current


def triples(values):
    values = list(values)
    return [tuple(values[k : k + 3]) for k in range(0, len(values), 3)]


@pytest.mark.parametrize("bound", range(6), ids=["Fz min", "Fz max", "Mx min", "Mx max", "My min", "My max"])
def test_cut_at_a_bound_gives_the_points_of_the_domain_there(domain, capfd, bound):
    m = domain
    component = bound // 2
    value = m.domainBounding()[bound]
    points = list(zip(*(map(f32, v) for v in (m.fzVector(), m.mxVector(), m.myVector()))))
    # The last direction (360 degrees) repeats the first: its last point,
    # uniform compression, counts only where the first direction's is off the bound.
    on_bound = {p for p in points[:-1] if p[component] == f32(value)}
    first_end = points[10]  # 11 points a direction
    if first_end[component] != f32(value) and points[-1][component] == f32(value):
        on_bound.add(points[-1])
    capfd.readouterr()

    cut = triples(getattr(m, CUTS[component])(value))
    assert "ERR" not in capfd.readouterr().err
    centre, ring = cut[0], cut[1:-1]
    assert cut[-1] == cut[1]
    assert len(set(ring)) == len(ring)
    assert set(ring) == on_bound
    assert centre[component] == f32(value)
    for c in range(3):
        assert min(p[c] for p in ring) <= centre[c] <= max(p[c] for p in ring)


def add_beam_with_one_bar(m, radius):
    for node, (x, y) in enumerate(((0, 0), (300, 0), (300, 500), (0, 500)), start=1):
        assert m.addNode(node, x, y)
    assert m.addTriangle(1, 1, 2, 3)
    assert m.addTriangle(2, 1, 3, 4)
    assert m.addNode(5, 50.0, 450.0)
    assert m.addCircle(1, 5, radius)
    assert m.buildDomain(2, 4, False)


def domain_state(m):
    return [list(q()) for q in (m.fzVector, m.mxVector, m.myVector, m.domainBounding)]


@pytest.mark.parametrize("name", CUTS)
def test_a_domain_beyond_the_float_range_is_not_cut(current, capfd, name):
    m = current
    add_beam_with_one_bar(m, 1e20)  # Fz up to 1.2e43, finite as a double only
    before = domain_state(m)
    for value in (0.0, 6e42, -1.0):
        capfd.readouterr()
        assert len(getattr(m, name)(value)) == 0
        assert capfd.readouterr().err == (
            "VelboModeler::%s(): start\n"
            "ERR: Cannot cut a domain whose points lie beyond the range of single precision\n" % name
        )
    assert domain_state(m) == before


@pytest.mark.parametrize("value", [1e39, -1e39, 1e300, -1.7976931348623157e308])
@pytest.mark.parametrize("name", CUTS)
def test_a_cut_value_beyond_the_float_range_is_refused(rc_section, capfd, name, value):
    m = rc_section
    assert m.buildDomain(2, 4, False)
    before = domain_state(m)
    capfd.readouterr()
    assert len(getattr(m, name)(value)) == 0
    err = capfd.readouterr().err
    assert err.startswith("VelboModeler::%s(): start\nERR: Cannot cut the domain at " % name)
    assert err.endswith(": the value lies beyond the range of single precision\n")
    assert err.count("\n") == 2
    assert domain_state(m) == before


@pytest.mark.parametrize("radius", [2e16, 3e16, 4e16], ids=["Mx 1e38", "Mx 2.2e38", "Mx 3.9e38"])
def test_no_cut_gives_a_value_that_is_not_finite(current, capfd, radius):
    # Points close to the float limits: a cut either gives finite numbers or
    # is refused with one line.
    m = current
    add_beam_with_one_bar(m, radius)
    bounds = list(m.domainBounding())
    for component, name in enumerate(CUTS):
        low, high = bounds[2 * component], bounds[2 * component + 1]
        for step in range(21):
            capfd.readouterr()
            cut = list(getattr(m, name)(low + (high - low) * step / 20))
            err = capfd.readouterr().err
            assert all(math.isfinite(v) for v in cut)
            if not cut:
                assert err.count("ERR: ") == 1 and err.endswith(" precision\n")
