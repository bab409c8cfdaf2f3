"""The value classes: nodes, triangles, circles and area-property records,
including triangles and circles made in Python without their nodes."""

import gc

import pytest

import velbomodeler as vm

VM = vm.VelboModeler


def live_nodes():
    gc.collect()
    return VM.instancesOfNode2D()


def as_tuple(node):
    return (node.id, node.xn, node.yn)


# ---------------------------------------------------------------- VelboNode2D


@pytest.mark.parametrize(
    "args, expected",
    [
        ((), (0, 0.0, 0.0)),
        ((3,), (3, 0.0, 0.0)),
        ((1.5, 2.5), (0, 1.5, 2.5)),
        ((1, 2), (0, 1.0, 2.0)),
        ((1.5, -2.5, 7), (7, 1.5, -2.5)),
    ],
)
def test_node_constructors(args, expected):
    n = vm.VelboNode2D(*args)
    assert as_tuple(n) == expected
    assert type(n.xn) is float and type(n.id) is int


@pytest.mark.parametrize("args", [(1.5,), ("1",), (1.0, 2.0, 3.5), (1.0, "2"), (1.0, 2.0, 3, 4)])
def test_node_constructor_refuses_other_arguments(args):
    with pytest.raises(TypeError):
        vm.VelboNode2D(*args)


def test_node_properties_read_and_write():
    n = vm.VelboNode2D()
    n.id = -4
    n.xn = 2
    n.yn = -0.5
    assert as_tuple(n) == (-4, 2.0, -0.5)
    with pytest.raises(TypeError):
        n.id = 1.5
    with pytest.raises(TypeError):
        n.xn = "1"


# ---------------------------------------------------------------- VelboTriangle


@pytest.mark.parametrize("args, expected_id", [((), 0), ((12,), 12)])
def test_triangle_made_in_python_has_default_vertices(args, expected_id):
    t = vm.VelboTriangle(*args)
    assert t.id == expected_id
    for vertex in (t.p1, t.p2, t.p3):
        assert as_tuple(vertex) == (0, 0.0, 0.0)


def test_triangle_constructor_refuses_a_float():
    with pytest.raises(TypeError):
        vm.VelboTriangle(1.5)


def test_assigned_vertex_is_a_copy_held_by_the_triangle():
    before = live_nodes()
    t = vm.VelboTriangle(1)
    source = vm.VelboNode2D(1.0, 2.0, 5)
    t.p1 = source
    assert live_nodes() == before + 1
    source.xn = 9.0
    assert as_tuple(t.p1) == (5, 1.0, 2.0)
    # What reading hands out is a copy too.
    read = t.p1
    read.yn = 9.0
    assert t.p1.yn == 2.0
    # The other vertices are still missing.
    assert as_tuple(t.p2) == (0, 0.0, 0.0)
    t.p2 = vm.VelboNode2D(3.0, 4.0, 6)
    t.p3 = vm.VelboNode2D(5.0, 6.0, 7)
    assert [as_tuple(p) for p in (t.p1, t.p2, t.p3)] == [(5, 1.0, 2.0), (6, 3.0, 4.0), (7, 5.0, 6.0)]
    del t, read
    assert live_nodes() == before


def test_vertex_outlives_the_triangle_while_a_copy_refers_to_it():
    before = live_nodes()
    t = vm.VelboTriangle(2)
    t.p3 = vm.VelboNode2D(1.0, 2.0, 5)
    triangles = vm.VecTriangles()
    triangles.append(t)
    mapping = vm.MapTriangles()
    mapping[2] = t
    del t
    assert as_tuple(triangles[0].p3) == (5, 1.0, 2.0)
    del triangles
    assert as_tuple(vm.toPythonDict(mapping)[2].p3) == (5, 1.0, 2.0)
    assert live_nodes() == before + 1
    del mapping
    assert live_nodes() == before


def test_reassigning_a_vertex_of_a_copy_leaves_the_source():
    t = vm.VelboTriangle(2)
    t.p1 = vm.VelboNode2D(1.0, 2.0, 5)
    triangles = vm.VecTriangles()
    triangles.append(t)
    triangles[0].p1 = vm.VelboNode2D(8.0, 8.0, 8)
    assert as_tuple(triangles[0].p1) == (8, 8.0, 8.0)
    assert as_tuple(t.p1) == (5, 1.0, 2.0)


def in_vector():
    triangles = vm.VecTriangles()
    triangles.append(vm.VelboTriangle(1))
    return triangles[0]


def in_map():
    triangles = vm.MapTriangles()
    triangles[5] = vm.VelboTriangle(1)
    return triangles[5]


def detached():
    triangles = vm.VecTriangles()
    triangles.append(vm.VelboTriangle(1))
    proxy = triangles[0]
    del triangles[0]
    return proxy


# Where a triangle written through Python lives: its own object, a proxy into
# a vector or a map, a proxy whose element was removed.
TRIANGLE_PLACES = {
    "own": lambda: vm.VelboTriangle(1),
    "VecTriangles": in_vector,
    "MapTriangles": in_map,
    "detached": detached,
}


@pytest.mark.parametrize("make", list(TRIANGLE_PLACES.values()), ids=list(TRIANGLE_PLACES))
def test_rewriting_vertices_keeps_only_the_nodes_in_use(make):
    t = make()
    for name in ("p1", "p2", "p3"):
        setattr(t, name, vm.VelboNode2D())
    settled = live_nodes()
    for i in range(3000):
        setattr(t, ("p1", "p2", "p3")[i % 3], vm.VelboNode2D(float(i), -float(i), i))
    assert live_nodes() == settled
    assert [as_tuple(p) for p in (t.p1, t.p2, t.p3)] == [
        (2997, 2997.0, -2997.0),
        (2998, 2998.0, -2998.0),
        (2999, 2999.0, -2999.0),
    ]


def test_rewriting_a_vertex_releases_it_once_no_copy_uses_it():
    before = live_nodes()
    t = vm.VelboTriangle(2)
    t.p1 = vm.VelboNode2D(1.0, 2.0, 5)
    triangles = vm.VecTriangles()
    triangles.append(t)
    # The copy in the vector shares the node, so it stays.
    t.p1 = vm.VelboNode2D(3.0, 4.0, 6)
    assert live_nodes() == before + 2
    triangles[0].p1 = vm.VelboNode2D(7.0, 8.0, 7)
    assert live_nodes() == before + 2
    assert (as_tuple(t.p1), as_tuple(triangles[0].p1)) == ((6, 3.0, 4.0), (7, 7.0, 8.0))


def full_triangle(id_, shift=0.0):
    t = vm.VelboTriangle(id_)
    t.p1 = vm.VelboNode2D(0.0 + shift, 0.0, 1)
    t.p2 = vm.VelboNode2D(1.0, 0.0, 2)
    t.p3 = vm.VelboNode2D(0.0, 1.0, 3)
    return t


def only_p2(id_, x):
    t = vm.VelboTriangle(id_)
    t.p2 = vm.VelboNode2D(x, 0.0, 2)
    return t


@pytest.mark.parametrize(
    "stored, probe, found",
    [
        (lambda: vm.VelboTriangle(4), lambda: vm.VelboTriangle(4), True),
        (lambda: vm.VelboTriangle(4), lambda: vm.VelboTriangle(5), False),
        (lambda: vm.VelboTriangle(4), lambda: only_p2(4, 1.0), False),
        (lambda: only_p2(4, 1.0), lambda: vm.VelboTriangle(4), False),
        (lambda: only_p2(4, 1.0), lambda: only_p2(4, 1.0), True),
        (lambda: only_p2(4, 1.0), lambda: only_p2(4, 2.0), False),
        (lambda: full_triangle(4), lambda: full_triangle(4), True),
        (lambda: full_triangle(4), lambda: full_triangle(4, shift=0.5), False),
        (lambda: full_triangle(4), lambda: vm.VelboTriangle(4), False),
    ],
    ids=[
        "both-bare",
        "other-id",
        "bare-vs-p2",
        "p2-vs-bare",
        "same-p2",
        "other-p2",
        "full-equal",
        "full-moved",
        "full-vs-bare",
    ],
)
def test_triangle_membership_with_missing_vertices(stored, probe, found):
    triangles = vm.VecTriangles()
    triangles.append(stored())
    assert (probe() in triangles) is found


def test_triangle_id_property():
    t = vm.VelboTriangle()
    t.id = 44
    assert t.id == 44
    with pytest.raises(TypeError):
        t.p1 = vm.VelboCircle()


# ---------------------------------------------------------------- VelboCircle


@pytest.mark.parametrize("args, expected_id", [((), 0), ((9,), 9)])
def test_circle_made_in_python_has_no_centre(args, expected_id):
    c = vm.VelboCircle(*args)
    assert (c.id, c.radius) == (expected_id, 0.0)
    assert as_tuple(c.center) == (0, 0.0, 0.0)


def test_radius_is_stored_without_a_test():
    c = vm.VelboCircle()
    c.radius = -3
    assert c.radius == -3.0


def test_assigned_centre_is_created_once_and_copied_into_containers():
    before = live_nodes()
    c = vm.VelboCircle(1)
    c.center = vm.VelboNode2D(1.0, 2.0, 3)
    assert live_nodes() == before + 1
    assert as_tuple(c.center) == (3, 1.0, 2.0)
    # Later assignments write into the same node.
    c.center = vm.VelboNode2D(4.0, 5.0, 6)
    assert live_nodes() == before + 1

    # The container keeps a copy with a centre of its own.
    circles = vm.VecCircles()
    circles.append(c)
    assert live_nodes() == before + 2
    circles[0].center = vm.VelboNode2D(7.0, 8.0, 9)
    assert as_tuple(c.center) == (6, 4.0, 5.0)
    del c
    assert as_tuple(circles[0].center) == (9, 7.0, 8.0)
    assert live_nodes() == before + 1
    del circles
    assert live_nodes() == before


def test_reading_the_centre_hands_out_a_copy():
    c = vm.VelboCircle()
    c.center = vm.VelboNode2D(1.0, 2.0, 3)
    read = c.center
    read.xn = 10.0
    assert c.center.xn == 1.0


def circle_at(id_, x=None, radius=2.0):
    c = vm.VelboCircle(id_)
    c.radius = radius
    if x is not None:
        c.center = vm.VelboNode2D(x, 0.0, 1)
    return c


@pytest.mark.parametrize(
    "stored, probe, found",
    [
        (lambda: circle_at(1), lambda: circle_at(1), True),
        (lambda: circle_at(1), lambda: circle_at(2), False),
        (lambda: circle_at(1), lambda: circle_at(1, radius=3.0), False),
        (lambda: circle_at(1), lambda: circle_at(1, x=0.0), False),
        (lambda: circle_at(1, x=0.0), lambda: circle_at(1), False),
        (lambda: circle_at(1, x=0.0), lambda: circle_at(1, x=0.0), True),
        (lambda: circle_at(1, x=0.0), lambda: circle_at(1, x=0.5), False),
    ],
    ids=["both-bare", "other-id", "other-radius", "bare-vs-centre", "centre-vs-bare", "same-centre", "moved-centre"],
)
def test_circle_membership_with_missing_centre(stored, probe, found):
    circles = vm.VecCircles()
    circles.append(stored())
    assert (probe() in circles) is found


def test_centre_of_a_modeller_circle_writes_the_modeller_node(current):
    m = current
    assert m.addNode(3, 1.0, 1.0)
    assert m.addCircle(1, 3, 6.0)
    before = live_nodes()
    circle = m.getCircles()[1]
    circle.center = vm.VelboNode2D(2.0, 3.0, 9)
    assert live_nodes() == before
    assert (m.getNodeX(3), m.getNodeY(3)) == (2.0, 3.0)
    # The modeller files its nodes by id: the node moves and keeps its id.
    assert list(m.getCirclesIds()[1]) == [3]
    assert as_tuple(circle.center) == (3, 2.0, 3.0)
    # Reading the centre after a change of the node sees the change.
    assert m.setNodeY(3, -1.0)
    assert as_tuple(circle.center) == (3, 2.0, -1.0)


# Writing a centre shared with the modeller, with the id of another node or
# with none (0), moves the bar's node only: the modeller's tables agree.
@pytest.mark.parametrize(
    "take",
    [
        lambda m: m.getCircles()[1],
        lambda m: next(iter(m.getCircles())).data(),
        lambda m: vm.toPythonDict(m.getCircles())[1],
    ],
    ids=["indexing", "iteration", "dict"],
)
@pytest.mark.parametrize("given_id", [1, 0, 10])
def test_modeller_node_keeps_its_id_when_a_centre_is_written(current, take, given_id):
    m = current
    assert m.addNode(10, 50.0, 450.0)
    assert m.addNode(1, 0.0, 0.0)
    assert m.addCircle(1, 10, 8.0)
    take(m).center = vm.VelboNode2D(60.0, 440.0, given_id)
    assert [e.key() for e in m.getNodes()] == [1, 10]
    assert [as_tuple(e.data()) for e in m.getNodes()] == [(1, 0.0, 0.0), (10, 60.0, 440.0)]
    assert m.nodesSize() == 2
    assert (m.getNodeX(10), m.getNodeY(10), m.getNodeX(1)) == (60.0, 440.0, 0.0)
    assert list(m.getCirclesIds()[1]) == [10]
    assert as_tuple(m.getCircles()[1].center) == (10, 60.0, 440.0)


# A circle taken from the modeller shares the modeller's centre node and
# keeps it alive: it stays valid after the modeller is gone.
@pytest.mark.parametrize(
    "take",
    [
        lambda m: m.getCircles()[1],
        lambda m: next(iter(m.getCircles())).data(),
        lambda m: vm.toPythonDict(m.getCircles())[1],
    ],
    ids=["indexing", "iteration", "dict"],
)
def test_modeller_circle_outlives_the_modeller(take):
    baseline = live_nodes()
    m = VM()
    assert m.addSection(1)
    assert m.addNode(3, 1.0, 1.0)
    assert m.addNode(4, 7.0, 7.0)
    assert m.addCircle(1, 3, 6.0)
    circle = take(m)
    circle.center = vm.VelboNode2D(2.0, 3.0, 3)
    assert (m.getNodeX(3), m.getNodeY(3)) == (2.0, 3.0)
    del m
    # Node 4 went with the modeller; node 3 stays with the circle.
    assert live_nodes() == baseline + 1
    assert as_tuple(circle.center) == (3, 2.0, 3.0)
    circle.center = vm.VelboNode2D(5.0, 6.0, 8)
    assert as_tuple(circle.center) == (8, 5.0, 6.0)
    assert circle.radius == 6.0
    del circle
    assert live_nodes() == baseline


# ---------------------------------------------------------------- VelboAreaProperties

AREA_PROPERTIES = ["area", "sx", "ixx", "iyy", "ixy", "ixxx", "ixxy"]


def test_area_properties_start_at_zero_and_are_writable():
    p = vm.VelboAreaProperties()
    assert [getattr(p, name) for name in AREA_PROPERTIES] == [0.0] * 7
    for k, name in enumerate(AREA_PROPERTIES):
        setattr(p, name, k + 0.5)
    assert [getattr(p, name) for name in AREA_PROPERTIES] == [k + 0.5 for k in range(7)]


def test_area_properties_registration_order_and_no_sy():
    names = [n for n in vm.VelboAreaProperties.__dict__ if not n.startswith("__")]
    assert names == AREA_PROPERTIES
    with pytest.raises(AttributeError):
        vm.VelboAreaProperties().sy


def test_area_properties_constructor_takes_no_argument():
    with pytest.raises(TypeError):
        vm.VelboAreaProperties(1.0)
