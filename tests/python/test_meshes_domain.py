"""Meshes of the concrete, their slicing by rays, and the interaction domain."""

import math
import os
import time

import pytest

import velbomodeler as vm
from conftest import RECT_BARS, RECT_H, add_rc_section, as_lists, counters, vdouble, vvdouble

NO_MODEL = "ERR: None model current yet.\n"
WRONG_INDEX = "ERR: Wrong mesh index \n"


def node_list(nodes):
    return [(n.id, n.xn, n.yn) for n in nodes]


# ---------------------------------------------------------------- meshes


def test_mesh_of_the_unit_triangle(unit_triangle):
    m = unit_triangle
    assert m.meshSize() == 0
    assert m.meshMake() is True
    assert m.meshSize() == 1
    assert (m.nodesSizeAtMesh(0), m.trianglesSizeAtMesh(0), m.circlesSizeAtMesh(0)) == (3, 1, 0)
    assert as_lists(m.getTrianglesIdsAtMesh(0)) == {0: [1, 2, 3]}
    assert as_lists(m.getTrianglesCoordsAtMesh(0)) == {0: [0.0, 0.0, 1.0, 0.0, 0.0, 1.0]}
    nodes = m.getNodesAtMesh(0)
    assert type(nodes) is vm.VecNodes
    assert node_list(nodes) == [(1, 0.0, 0.0), (2, 1.0, 0.0), (3, 0.0, 1.0)]
    circles = m.getCirclesAtMesh(0)
    assert type(circles) is vm.VecCircles and len(circles) == 0


def test_slice_at_half_height(unit_triangle):
    m = unit_triangle
    assert m.meshMake()
    assert m.meshesSliceAtYrays(vdouble([0.5])) is True
    assert as_lists(m.getTrianglesIdsAtMesh(0)) == {0: [0, 3, 0], 1: [0, 0, 1], 2: [0, 1, 2]}
    assert as_lists(m.getTrianglesCoordsAtMesh(0)) == {
        0: [0.5, 0.5, 0.0, 1.0, 0.0, 0.5],
        1: [0.5, 0.5, 0.0, 0.5, 0.0, 0.0],
        2: [0.5, 0.5, 0.0, 0.0, 1.0, 0.0],
    }
    assert m.nodesSizeAtMesh(0) == 5
    assert m.trianglesSizeAtMesh(0) == 3
    assert node_list(m.getNodesAtMesh(0)) == [
        (1, 0.0, 0.0),
        (2, 1.0, 0.0),
        (3, 0.0, 1.0),
        (0, 0.5, 0.5),
        (0, 0.0, 0.5),
    ]
    # The model's own triangle and nodes stay as they were.
    assert as_lists(m.getTrianglesCoords()) == {7: [0.0, 0.0, 1.0, 0.0, 0.0, 1.0]}
    assert m.nodesSize() == 3


def test_slice_at_two_heights(unit_triangle):
    m = unit_triangle
    assert m.meshMake()
    assert m.meshesSliceAtYrays(vdouble([0.25, 0.75]))
    assert as_lists(m.getTrianglesCoordsAtMesh(0)) == {
        0: [0.25, 0.75, 0.0, 1.0, 0.0, 0.75],
        1: [0.25, 0.75, 0.0, 0.75, 0.0, 0.25],
        2: [0.25, 0.75, 0.0, 0.25, 0.75, 0.25],
        3: [0.75, 0.25, 0.0, 0.25, 0.0, 0.0],
        4: [0.75, 0.25, 0.0, 0.0, 1.0, 0.0],
    }
    assert node_list(m.getNodesAtMesh(0)) == [
        (1, 0.0, 0.0),
        (2, 1.0, 0.0),
        (3, 0.0, 1.0),
        (0, 0.75, 0.25),
        (0, 0.0, 0.25),
        (0, 0.25, 0.75),
        (0, 0.0, 0.75),
    ]


@pytest.mark.parametrize(
    "rows, coords",
    [
        # The line x + y - 1 = 0 runs through two vertices and crosses no side.
        ([[1.0, 1.0, -1.0]], {0: [0.0, 0.0, 1.0, 0.0, 0.0, 1.0]}),
        # y - 0.5 = 0 cuts as the horizontal ray does.
        (
            [[0.0, 1.0, -0.5]],
            {0: [0.5, 0.5, 0.0, 1.0, 0.0, 0.5], 1: [0.5, 0.5, 0.0, 0.5, 0.0, 0.0], 2: [0.5, 0.5, 0.0, 0.0, 1.0, 0.0]},
        ),
        # x - 0.5 = 0; numbers after the third of a row are not used.
        (
            [[1.0, 0.0, -0.5, 7.0]],
            {0: [0.5, 0.0, 1.0, 0.0, 0.5, 0.5], 1: [0.5, 0.0, 0.5, 0.5, 0.0, 1.0], 2: [0.5, 0.0, 0.0, 1.0, 0.0, 0.0]},
        ),
    ],
    ids=["through-vertices", "horizontal-line", "vertical-line"],
)
def test_slice_at_line_rays(unit_triangle, rows, coords):
    m = unit_triangle
    assert m.meshMake()
    assert m.meshesSliceAtRays(vvdouble(rows)) is True
    assert as_lists(m.getTrianglesCoordsAtMesh(0)) == coords
    assert set(as_lists(m.getTrianglesIdsAtMesh(0))[0]) <= {0, 1, 2, 3}


def test_line_rays_add_to_the_horizontal_ones(unit_triangle):
    m = unit_triangle
    assert m.meshMake()
    assert m.meshesSliceAtYrays(vdouble([0.5]))
    assert m.meshesSliceAtRays(vvdouble([[1.0, 0.0, -0.25]]))
    assert m.trianglesSizeAtMesh(0) > 3
    coords = as_lists(m.getTrianglesCoordsAtMesh(0))
    area = sum(0.5 * abs((c[2] - c[0]) * (c[5] - c[1]) - (c[4] - c[0]) * (c[3] - c[1])) for c in coords.values())
    assert area == pytest.approx(0.5, rel=1e-14)


def test_empty_line_rays_on_fresh_meshes_are_refused(unit_triangle):
    m = unit_triangle
    assert m.meshMake()
    assert m.meshesSliceAtRays(vm.VVDouble()) is False
    assert m.trianglesSizeAtMesh(0) == 1
    assert m.meshReset() is False


def test_mesh_reset(unit_triangle):
    m = unit_triangle
    assert m.meshMake()
    assert m.meshReset() is False
    assert m.meshesSliceAtYrays(vdouble([0.5]))
    assert m.meshReset() is True
    assert m.trianglesSizeAtMesh(0) == 1
    assert as_lists(m.getTrianglesIdsAtMesh(0)) == {0: [1, 2, 3]}
    assert m.meshReset() is False


def test_slicing_before_any_mesh(unit_triangle):
    m = unit_triangle
    assert m.meshesSliceAtYrays(vdouble([0.5, 0.1])) is True
    assert m.meshSize() == 0
    assert m.meshReset() is True
    assert m.meshSize() == 1
    assert m.trianglesSizeAtMesh(0) == 1


def test_one_mesh_per_triangle(unit_triangle):
    m = unit_triangle
    assert m.addNode(4, 1.0, 1.0)
    assert m.addTriangle(8, 2, 4, 3)
    assert m.addCircle(1, 4, 1.0)
    assert m.meshMake()
    assert m.meshSize() == 2
    assert as_lists(m.getTrianglesIdsAtMesh(1)) == {0: [2, 4, 3]}
    assert m.meshMake()
    assert m.meshSize() == 2


@pytest.mark.parametrize(
    "name, failure",
    [
        ("nodesSizeAtMesh", -1),
        ("trianglesSizeAtMesh", -1),
        ("circlesSizeAtMesh", -1),
        ("getNodesAtMesh", vm.VecNodes),
        ("getTrianglesIdsAtMesh", vm.MIntVInt),
        ("getTrianglesCoordsAtMesh", vm.MIntVDouble),
        ("getCirclesAtMesh", vm.VecCircles),
    ],
)
@pytest.mark.parametrize("index", [1, -1, 2])
def test_wrong_mesh_index(unit_triangle, capfd, name, failure, index):
    m = unit_triangle
    assert m.meshMake()
    capfd.readouterr()
    result = getattr(m, name)(index)
    assert capfd.readouterr().err == WRONG_INDEX
    if isinstance(failure, int):
        assert result == failure
    else:
        assert type(result) is failure and len(result) == 0


@pytest.mark.parametrize(
    "call, failure",
    [
        (lambda m: m.meshMake(), False),
        (lambda m: m.meshReset(), False),
        (lambda m: m.meshSize(), 0),
        (lambda m: m.trianglesSizeAtMesh(0), -1),
        (lambda m: len(m.getNodesAtMesh(0)), 0),
        (lambda m: m.meshesSliceAtYrays(vdouble([0.5])), False),
        (lambda m: m.meshesSliceAtRays(vvdouble([[0.0, 1.0, -0.5]])), False),
    ],
    ids=["meshMake", "meshReset", "meshSize", "trianglesSizeAtMesh", "getNodesAtMesh", "yrays", "rays"],
)
def test_meshes_without_current_model(modeler, capfd, call, failure):
    capfd.readouterr()
    assert call(modeler) == failure
    assert capfd.readouterr().err == NO_MODEL


# ---------------------------------------------------------------- domain

FYD = 450.0 / 1.15
FCD = 0.85 * 20.0 / 1.5
BAR_AREA = sum(r * r * math.pi for (_, _, _, r) in RECT_BARS)


def test_build_domain_of_the_rectangle(rc_section, capfd):
    m = rc_section
    capfd.readouterr()
    assert m.buildDomain(1, 2, False) is True
    err = capfd.readouterr().err
    assert err.startswith("VelboModeler::buildDomain(): start\nVelboModeler::buildDomain(): ... build deformator\n")
    assert err.endswith("VelboModeler::buildDomain(): end. Return true !!! \n")

    fz, mx, my = m.fzVector(), m.mxVector(), m.myVector()
    assert type(fz) is vm.VDouble
    assert len(fz) == len(mx) == len(my) == 15
    # Directions 0 and 360 degrees give the same points up to rounding.
    for values in (fz, mx, my):
        scale = max(abs(v) for v in values)
        assert list(values[12:15]) == pytest.approx(list(values[0:3]), abs=1e-9 * scale)
    # Every direction starts at uniform tension and ends at uniform compression.
    assert list(fz)[0::3] == pytest.approx([BAR_AREA * FYD] * 5, rel=1e-12)
    assert list(fz)[2::3] == pytest.approx([-(150000.0 * FCD + BAR_AREA * FYD)] * 5, rel=1e-12)

    bounds = m.domainBounding()
    assert type(bounds) is vm.VDouble and len(bounds) == 6
    assert bounds[0] == pytest.approx(-(150000.0 * FCD + BAR_AREA * FYD), rel=1e-12)
    assert bounds[1] == pytest.approx(BAR_AREA * FYD, rel=1e-12)
    assert bounds[0] == min(fz) and bounds[1] == max(fz)
    assert (bounds[2], bounds[3]) == (min(mx), max(mx))
    for low, high in zip(list(bounds)[0::2], list(bounds)[1::2]):
        assert low <= 0.0 <= high
    assert capfd.readouterr().err == (
        "VelboModeler::fzVector(): start\n"
        "VelboModeler::mxVector(): start\n"
        "VelboModeler::myVector(): start\n"
        "VelboModeler::domainBounding(): start\n"
    )


def test_domain_of_a_beam_reinforced_on_one_side_ends_in_uniform_compression(current):
    """Three bars of radius 10, 50 above the bottom face of a 300 x 500 beam,
    none at the top: in the directions that put them on the compressed side
    the lowest bar lies far above the depth of the interior pivot. Every
    direction still runs on to uniform compression, Fz falling all the way."""
    m = current
    for node, (x, y) in enumerate(((0.0, 0.0), (300.0, 0.0), (300.0, 500.0), (0.0, 500.0)), start=1):
        assert m.addNode(node, x, y)
    assert m.addTriangle(1, 1, 2, 3)
    assert m.addTriangle(2, 1, 3, 4)
    for circle, x in enumerate((50.0, 150.0, 250.0), start=1):
        assert m.addNode(10 + circle, x, 450.0)
        assert m.addCircle(circle, 10 + circle, 10.0)
    assert m.buildDomain(8, 20, False)
    fz = list(m.fzVector())
    steps = 21
    assert len(fz) == 33 * steps
    compression = -(150000.0 * FCD + 3 * 100.0 * math.pi * FYD)
    paths = [fz[i * steps:(i + 1) * steps] for i in range(33)]
    assert [path[-1] for path in paths] == pytest.approx([compression] * 33, rel=1e-12)
    for path in paths:
        assert all(b <= a + 1e-12 * -compression for a, b in zip(path, path[1:]))


def _threads_of_the_process():
    return len(os.listdir("/proc/self/task"))


def _threads_once_settled(expected):
    """The threads of the process, read again for up to two seconds until
    they are back to expected: a joined thread may stay listed for a moment
    after its join returns."""
    count = _threads_of_the_process()
    for _ in range(200):
        if count == expected:
            break
        time.sleep(0.01)
        count = _threads_of_the_process()
    return count


def _rectangle_domain():
    """The domain of the rectangle with its four bars, built on a new modeller;
    also the threads of the process before and after the build."""
    m = vm.VelboModeler()
    assert m.addSection(1)
    add_rc_section(m)
    before = _threads_of_the_process()
    assert m.buildDomain(3, 7, False)
    after = _threads_once_settled(before)
    points = (list(m.fzVector()), list(m.mxVector()), list(m.myVector()), list(m.domainBounding()))
    del m
    return points, before, after


@pytest.mark.parametrize("threads", [None, "3", "8"])
def test_domain_build_threads_give_the_same_points_and_none_outlives_it(monkeypatch, threads):
    """VELBO_THREADS sets the workers of buildDomain: the points do not depend
    on it, and no worker outlives the call."""
    monkeypatch.setenv("VELBO_THREADS", "1")
    serial, _, _ = _rectangle_domain()
    if threads is None:
        monkeypatch.delenv("VELBO_THREADS")
    else:
        monkeypatch.setenv("VELBO_THREADS", threads)
    points, before, after = _rectangle_domain()
    assert after == before
    assert points == serial


def test_domain_is_kept_until_rebuilt(rc_section, capfd):
    m = rc_section
    assert m.buildDomain(1, 2, False)
    first = list(m.fzVector())
    capfd.readouterr()
    assert m.buildDomain(1, 2, False) is True
    assert capfd.readouterr().err == (
        "VelboModeler::buildDomain(): start\n"
        "VelboModeler::buildDomain(): ... domain yet exists and wont't be built\n"
        "VelboModeler::buildDomain(): ... NOTE: call buildDomain with rebuild = true if you want rebuild it !!!\n"
    )
    # A change of the model does not reach the stored domain.
    assert m.setCircleRadius(1, 20.0)
    assert list(m.fzVector()) == first
    assert m.buildDomain(2, 3, True) is True
    assert len(m.fzVector()) == 36
    assert max(m.fzVector()) > max(first)


def test_each_model_keeps_its_own_domain(rc_section):
    m = rc_section
    assert m.buildDomain(1, 2, False)
    assert m.addSection(2)
    assert len(m.fzVector()) == 0
    assert m.setCurrent(1)
    assert len(m.fzVector()) == 15


@pytest.mark.parametrize("name", ["fzVector", "mxVector", "myVector", "domainBounding"])
def test_queries_before_build(current, capfd, name):
    capfd.readouterr()
    result = getattr(current, name)()
    assert type(result) is vm.VDouble and len(result) == 0
    assert capfd.readouterr().err == "VelboModeler::%s(): start\nERR: We need to use buildDomain before.\n" % name


@pytest.mark.parametrize("name", ["intersectAtXDir", "intersectAtYDir", "intersectAtZDir"])
def test_cuts_before_build(current, capfd, name):
    capfd.readouterr()
    result = getattr(current, name)(0.0)
    assert type(result) is vm.VFloat and len(result) == 0
    assert "ERR: We need to use buildDomain before.\n" in capfd.readouterr().err


@pytest.mark.parametrize(
    "call",
    [
        lambda m: m.buildDomain(1, 2, False),
        lambda m: len(m.fzVector()),
        lambda m: len(m.domainBounding()),
        lambda m: len(m.intersectAtXDir(0.0)),
    ],
    ids=["buildDomain", "fzVector", "domainBounding", "intersectAtXDir"],
)
def test_domain_without_current_model(modeler, capfd, call):
    capfd.readouterr()
    assert not call(modeler)
    assert capfd.readouterr().err.endswith(NO_MODEL)


def test_cut_at_zero_axial_force(rc_section):
    m = rc_section
    assert m.buildDomain(2, 4, False)
    cut = m.intersectAtXDir(0.0)
    assert type(cut) is vm.VFloat
    assert len(cut) % 3 == 0 and len(cut) >= 3 * 4
    triples = [tuple(cut[k : k + 3]) for k in range(0, len(cut), 3)]
    assert triples[1] == triples[-1]
    scale = max(abs(v) for v in cut)
    assert all(abs(t[0]) <= 1e-6 * scale for t in triples)
    # The crossing points run around the centre by increasing angle in [0, 2 pi).
    cx, cy = triples[0][1], triples[0][2]
    angles = [math.atan2(t[2] - cy, t[1] - cx) % (2 * math.pi) for t in triples[1:-1]]
    assert angles == sorted(angles)


@pytest.mark.parametrize(
    "name, line",
    [
        ("intersectAtZDir", "zSlice < m_minZ || zSlice > m_maxZ "),
        ("intersectAtYDir", "ySlice < m_minY || ySlice > m_maxY "),
    ],
)
def test_cut_outside_the_domain(rc_section, capfd, name, line):
    m = rc_section
    assert m.buildDomain(1, 2, False)
    capfd.readouterr()
    assert len(getattr(m, name)(1e30)) == 0
    err = capfd.readouterr().err
    assert line in err
    assert err.startswith("VelboModeler::")


@pytest.mark.parametrize(
    "name, line",
    [
        ("intersectAtXDir", "xSlice < m_minX || xSlice > m_maxX xSlice=(nan)"),
        ("intersectAtYDir", "ySlice < m_minY || ySlice > m_maxY ySlice=(nan)"),
        ("intersectAtZDir", "zSlice < m_minZ || zSlice > m_maxZ zSlice=(nan)"),
    ],
)
def test_cut_at_nan_is_refused_like_a_cut_outside(rc_section, capfd, name, line):
    m = rc_section
    assert m.buildDomain(1, 2, False)
    capfd.readouterr()
    assert len(getattr(m, name)(float("nan"))) == 0
    assert line in capfd.readouterr().err


def test_domain_of_a_node_that_is_not_finite_is_refused(rc_section, capfd):
    m = rc_section
    assert m.setNodeX(2, float("nan"))
    capfd.readouterr()
    assert m.buildDomain(1, 2, False) is False
    assert capfd.readouterr().err == (
        "VelboModeler::buildDomain(): start\n"
        "ERR: Cannot build domain of a model whose node *2* has a coordinate that is not finite\n"
    )
    assert m.getNodeX(1) == 0.0 and m.getNodeY(3) == RECT_H
    for query in (m.fzVector, m.mxVector, m.myVector, m.domainBounding):
        assert len(query()) == 0
    for cut in (m.intersectAtXDir, m.intersectAtYDir, m.intersectAtZDir):
        assert len(cut(0.0)) == 0


# A steel law on the concrete or a concrete law on the bars gives strain
# limits of the wrong kind: the build is refused before anything is turned,
# and a refused rebuild keeps the domain there was.
@pytest.mark.parametrize(
    "triangles, circles, cause",
    [
        (-200, None, "triangles have law *-200*, a bilinear law for steel"),
        (None, 9, "circles have law *9*, a parabola-rectangle law for concrete"),
        (
            -200,
            -100,
            "triangles have law *-200*, a bilinear law for steel, "
            "and whose circles have law *-100*, a parabola-rectangle law for concrete",
        ),
    ],
    ids=["steel-concrete", "concrete-bars", "both"],
)
@pytest.mark.parametrize("rebuild", [False, True], ids=["build", "rebuild"])
def test_domain_of_laws_of_the_wrong_kind_is_refused(rc_section, capfd, triangles, circles, cause, rebuild):
    m = rc_section
    assert m.addLawParaboleRectangle(9, "C25/30", -14.17, -0.002, -0.0035)
    if rebuild:
        assert m.buildDomain(1, 4, False)
    if triangles is not None:
        assert m.setTrianglesLaw(triangles)
    if circles is not None:
        assert m.setCirclesLaw(circles)
    coords = as_lists(m.getNodesCoords())
    fz, my = list(m.fzVector()), list(m.myVector())
    before = counters()
    capfd.readouterr()
    assert m.buildDomain(1, 2, rebuild) is False
    assert capfd.readouterr().err == (
        "VelboModeler::buildDomain(): start\nERR: Cannot build domain of a model whose %s\n" % cause
    )
    assert as_lists(m.getNodesCoords()) == coords
    assert counters() == before
    assert (list(m.fzVector()), list(m.myVector())) == (fz, my)
    assert len(fz) == (25 if rebuild else 0)


def test_domain_after_build_turns_the_model_nodes(rc_section):
    m = rc_section
    assert m.buildDomain(1, 2, False)
    # Last direction is 360 degrees about the concrete barycentre: back up to rounding.
    assert m.getNodeX(2) == pytest.approx(300.0, rel=1e-12)
    assert m.getNodeY(3) == pytest.approx(500.0, rel=1e-12)


@pytest.mark.parametrize("rows", [[[1.0]], [[]], [[0.0, 1.0, -0.5], [1.0, 0.0]]], ids=["one", "none", "second-row"])
def test_short_line_ray_rows_are_refused(unit_triangle, capfd, rows):
    m = unit_triangle
    assert m.meshMake()
    capfd.readouterr()
    assert m.meshesSliceAtRays(vvdouble(rows)) is False
    err = capfd.readouterr().err
    assert err.startswith("ERR: ") and err.count("\n") == 1
    assert m.trianglesSizeAtMesh(0) == 1


def only_concrete(m):
    for i, (x, y) in enumerate(((0.0, 0.0), (1.0, 0.0), (0.0, 1.0)), start=1):
        assert m.addNode(i, x, y)
    assert m.addTriangle(1, 1, 2, 3)


def only_bars(m):
    assert m.addNode(1, 0.5, 0.5)
    assert m.addCircle(1, 1, 0.1)


@pytest.mark.parametrize(
    "make, divisions",
    [
        (only_concrete, (1, 2)),
        (only_bars, (1, 2)),
        (lambda m: (only_concrete(m), m.addCircle(1, 1, 0.1)), (0, 2)),
        (lambda m: (only_concrete(m), m.addCircle(1, 1, 0.1)), (1, 0)),
        (lambda m: (only_concrete(m), m.addCircle(1, 1, 0.1)), (-1, 2)),
    ],
    ids=["no-bars", "no-concrete", "no-directions", "no-strain-steps", "negative"],
)
def test_domain_build_refused(current, capfd, make, divisions):
    m = current
    make(m)
    coords = as_lists(m.getNodesCoords())
    capfd.readouterr()
    assert m.buildDomain(*divisions, False) is False
    assert "ERR: " in capfd.readouterr().err
    assert as_lists(m.getNodesCoords()) == coords
    assert len(m.fzVector()) == 0


def test_domain_of_a_section_on_a_node_of_another_model_is_refused(modeler, capfd):
    """Model 2's four triangles meet at node 9, which was added to model 1:
    a build turns only model 2's own nodes, so it is refused before any is
    turned, and model 1's node stays where it is."""
    m = modeler
    assert m.addSection(1)
    assert m.addNode(9, 150.0, 250.0)
    assert m.addSection(2)
    for node, (x, y) in enumerate(((0.0, 0.0), (300.0, 0.0), (300.0, 500.0), (0.0, 500.0)), start=1):
        assert m.addNode(node, x, y)
    for triangle, (a, b) in enumerate(((1, 2), (2, 3), (3, 4), (4, 1)), start=1):
        assert m.addTriangle(triangle, a, b, 9)
    assert m.addNode(11, 150.0, 460.0)
    assert m.addCircle(1, 11, 10.0)
    coords = as_lists(m.getNodesCoords())
    before = counters()
    capfd.readouterr()
    assert m.buildDomain(2, 2, False) is False
    assert capfd.readouterr().err == (
        "VelboModeler::buildDomain(): start\n"
        "ERR: Cannot build domain of a model whose triangle *1* uses node *9* of another model\n"
    )
    assert as_lists(m.getNodesCoords()) == coords
    assert counters() == before
    assert len(m.fzVector()) == 0
    assert m.setCurrent(1)
    assert as_lists(m.getNodesCoords()) == {9: [150.0, 250.0]}


# Divisions at the ends of the int range: refused before anything is turned
# or allocated, the point count reckoned without overflow. A refused rebuild
# keeps the earlier domain.
@pytest.mark.parametrize(
    "divisions",
    [
        (2**31 - 1, 2**31 - 1),
        (2**31 - 2, 2**31 - 3),
        (2**31 - 1, 1),
        (1, 2**31 - 1),
        (1, 429496729),  # one point more than an int counts
        (0, 0),
        (0, 2**31 - 1),
        (-(2**31), -(2**31)),
        (2**31 - 1, -1),
    ],
)
@pytest.mark.parametrize("rebuild", [False, True], ids=["build", "rebuild"])
def test_domain_build_with_extreme_divisions(rc_section, capfd, divisions, rebuild):
    m = rc_section
    if rebuild:
        assert m.buildDomain(1, 1, False)
    fz = list(m.fzVector())
    coords = as_lists(m.getNodesCoords())
    before = counters()
    capfd.readouterr()
    assert m.buildDomain(*divisions, rebuild) is False
    assert "\nERR: Cannot build domain " in capfd.readouterr().err
    assert as_lists(m.getNodesCoords()) == coords
    assert list(m.fzVector()) == fz
    assert len(fz) == (10 if rebuild else 0)
    assert counters() == before
    # And a domain can still be built.
    assert m.buildDomain(1, 2, True)
    assert len(m.fzVector()) == 15


@pytest.mark.parametrize("divisions", [(2**31, 1), (1, -(2**31) - 1), (2**64, 2**64)])
def test_domain_divisions_beyond_an_int_are_refused_by_the_call(rc_section, divisions):
    m = rc_section
    before = counters()
    with pytest.raises(OverflowError):
        m.buildDomain(*divisions, False)
    assert counters() == before
