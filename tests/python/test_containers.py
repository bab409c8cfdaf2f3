"""The container classes: sequence and mapping protocols, membership,
proxies and copies, and the refusal of plain Python containers."""

import gc
from decimal import Decimal
from fractions import Fraction

import pytest

import velbomodeler as vm
from conftest import vdouble, vvdouble

VM = vm.VelboModeler


def filled(cls, values):
    container = cls()
    container.extend(values)
    return container


def node(i):
    return vm.VelboNode2D(float(i), float(-i), i)


def triangle(i):
    t = vm.VelboTriangle(i)
    t.p1 = node(i)
    return t


def circle(i):
    c = vm.VelboCircle(i)
    c.radius = float(i)
    return c


def row(i):
    return vdouble([i, i + 0.5])


# Each vector class with a way to make its i-th sample element and to tell
# which sample an element read back is.
VECTORS = {
    "VInt": (vm.VInt, lambda i: i, lambda e: e),
    "VDouble": (vm.VDouble, lambda i: i + 0.25, lambda e: e - 0.25),
    "VFloat": (vm.VFloat, lambda i: i + 0.5, lambda e: e - 0.5),
    "VVDouble": (vm.VVDouble, row, lambda e: e[0]),
    "VecNodes": (vm.VecNodes, node, lambda e: e.id),
    "VecTriangles": (vm.VecTriangles, triangle, lambda e: e.id),
    "VecCircles": (vm.VecCircles, circle, lambda e: e.id),
}


@pytest.fixture(params=list(VECTORS))
def vector(request):
    cls, make, which = VECTORS[request.param]
    return cls, make, which


# ---------------------------------------------------------------- vectors


def test_vector_starts_empty_and_appends(vector):
    cls, make, which = vector
    v = cls()
    assert len(v) == 0
    for i in range(4):
        v.append(make(i))
    assert len(v) == 4
    assert [which(e) for e in v] == [0, 1, 2, 3]


def test_vector_negative_indices_count_from_the_end(vector):
    cls, make, which = vector
    v = filled(cls, [make(i) for i in range(5)])
    assert which(v[-1]) == 4
    assert which(v[-5]) == 0
    for index in (5, -6):
        with pytest.raises(IndexError):
            v[index]


def test_vector_slices_get_assign_delete(vector):
    cls, make, which = vector
    v = filled(cls, [make(i) for i in range(6)])
    part = v[1:4]
    assert type(part) is cls
    assert [which(e) for e in part] == [1, 2, 3]
    assert [which(e) for e in v[-2:]] == [4, 5]

    v[0:2] = [make(7)]
    assert [which(e) for e in v] == [7, 2, 3, 4, 5]
    del v[1:3]
    assert [which(e) for e in v] == [7, 4, 5]
    v[1:1] = filled(cls, [make(8), make(9)])
    assert [which(e) for e in v] == [7, 8, 9, 4, 5]


def test_vector_item_assignment_and_deletion(vector):
    cls, make, which = vector
    v = filled(cls, [make(i) for i in range(3)])
    v[-1] = make(6)
    del v[0]
    assert [which(e) for e in v] == [1, 6]
    with pytest.raises(IndexError):
        v[2] = make(1)
    with pytest.raises(IndexError):
        del v[2]
    with pytest.raises(TypeError):
        v["0"]


def test_vector_extend_from_any_iterable(vector):
    cls, make, which = vector
    v = cls()
    v.extend(make(i) for i in range(3))
    v.extend((make(5),))
    assert [which(e) for e in v] == [0, 1, 2, 5]


@pytest.mark.parametrize(
    "cls, bad",
    [
        (vm.VInt, 1.5),
        (vm.VInt, "1"),
        (vm.VDouble, "x"),
        (vm.VFloat, None),
        (vm.VVDouble, [1.0, 2.0]),
        (vm.VVDouble, vm.VFloat()),
        (vm.VecNodes, 1),
        (vm.VecNodes, vm.VelboCircle()),
        (vm.VecTriangles, vm.VelboNode2D()),
        (vm.VecCircles, vm.VelboTriangle()),
    ],
)
def test_vector_refuses_items_of_another_type(cls, bad):
    v = cls()
    with pytest.raises(TypeError):
        v.append(bad)
    with pytest.raises(TypeError):
        v.extend([bad])
    assert len(v) == 0


def test_extend_stops_at_an_item_that_does_not_convert():
    v = filled(vm.VInt, [1])
    with pytest.raises(TypeError):
        v.extend([2, "three", 4])
    # Nothing of the failed extend is added.
    assert list(v) == [1]


@pytest.mark.parametrize(
    "cls, present, absent",
    [
        (vm.VInt, 3, 4),
        (vm.VDouble, 0.25, 0.2500000001),
        (vm.VFloat, 0.5, 0.5000001),
    ],
)
def test_scalar_membership_is_exact(cls, present, absent):
    v = filled(cls, [1, present])
    assert present in v
    assert absent not in v


def test_vfloat_stores_single_precision():
    v = filled(vm.VFloat, [0.1, 1e-50])
    assert v[0] != 0.1
    assert v[0] == pytest.approx(0.1, rel=1e-7)
    assert v[1] == 0.0
    # A probe is narrowed the same way before the comparison.
    assert 0.1 in v
    assert v[0] in v


def test_vvdouble_rows_compare_element_by_element():
    v = vvdouble([[1.0, 2.0, 3.0], [4.0]])
    assert vdouble([1.0, 2.0, 3.0]) in v
    assert vdouble([1.0, 2.0]) not in v
    assert vdouble([4.0, 0.0]) not in v


@pytest.mark.parametrize(
    "probe, found",
    [
        (vm.VelboNode2D(1.0, 2.0, 3), True),
        (vm.VelboNode2D(1.0, 2.0, 4), False),
        (vm.VelboNode2D(1.0, 2.5, 3), False),
        (vm.VelboNode2D(3), False),
    ],
)
def test_node_membership_compares_id_and_coordinates(probe, found):
    v = filled(vm.VecNodes, [vm.VelboNode2D(0.0, 0.0, 1), vm.VelboNode2D(1.0, 2.0, 3)])
    assert (probe in v) is found


def test_node_membership_compares_saved_coordinates():
    # Setting xn also sets the saved x, so the node equals one made at (1, 2).
    n = vm.VelboNode2D(0.0, 2.0, 3)
    n.xn = 1.0
    assert n in filled(vm.VecNodes, [vm.VelboNode2D(1.0, 2.0, 3)])


def test_mesh_node_membership_uses_saved_coordinates(unit_triangle):
    m = unit_triangle
    assert m.meshMake()
    nodes = m.getNodesAtMesh(0)
    assert vm.VelboNode2D(1.0, 0.0, 2) in nodes
    assert vm.VelboNode2D(1.0, 0.0, 1) not in nodes


@pytest.mark.parametrize("cls", [vm.VecNodes, vm.VecTriangles, vm.VecCircles, vm.VInt])
def test_membership_of_another_type_is_false(cls):
    v = filled(cls, [VECTORS[cls.__name__][1](1)])
    assert "1" not in v
    assert vm.VelboAreaProperties() not in v


# ---------------------------------------------------------------- maps

MAPS = {
    "MIntVInt": (vm.MIntVInt, lambda i: filled(vm.VInt, [i]), lambda e: e[0]),
    "MIntVDouble": (vm.MIntVDouble, lambda i: vdouble([i]), lambda e: e[0]),
    "MapNodes": (vm.MapNodes, node, lambda e: e.id),
    "MapTriangles": (vm.MapTriangles, triangle, lambda e: e.id),
    "MapCircles": (vm.MapCircles, circle, lambda e: e.id),
}


@pytest.fixture(params=list(MAPS))
def mapping(request):
    return MAPS[request.param]


def test_map_items_by_int_key(mapping):
    cls, make, which = mapping
    m = cls()
    for key in (4, -1, 2):
        m[key] = make(key)
    assert len(m) == 3
    assert which(m[-1]) == -1
    assert 2 in m and 3 not in m
    m[2] = make(9)
    assert which(m[2]) == 9
    del m[4]
    assert len(m) == 2 and 4 not in m


def test_map_errors(mapping):
    cls, make, which = mapping
    m = cls()
    m[1] = make(1)
    with pytest.raises(KeyError):
        m[2]
    with pytest.raises(TypeError):
        m["1"]
    with pytest.raises(TypeError):
        m[1.0] = make(1)
    with pytest.raises(TypeError):
        m[3] = "value"
    with pytest.raises(RuntimeError):
        m[0:1]
    assert len(m) == 1


def test_map_iteration_yields_entries_in_key_order(mapping):
    cls, make, which = mapping
    m = cls()
    for key in (30, 10, 20):
        m[key] = make(key)
    entries = list(m)
    entry_class = "map_indexing_suite_" + cls.__name__ + "_entry"
    assert all(type(e).__name__ == entry_class for e in entries)
    assert type(entries[0]) is getattr(vm, entry_class)
    assert [e.key() for e in entries] == [10, 20, 30]
    assert [which(e.data()) for e in entries] == [10, 20, 30]


# ---------------------------------------------------------------- proxies and copies


def test_map_nodes_hands_out_copies(unit_triangle):
    nodes = unit_triangle.getNodes()
    n = nodes[2]
    n.xn = 5.0
    assert nodes[2].xn == 1.0
    for entry in nodes:
        entry.data().yn = 9.0
    assert [e.data().yn for e in nodes] == [0.0, 0.0, 1.0]
    assert unit_triangle.getNodeX(2) == 1.0


def test_vec_nodes_hands_out_proxies(unit_triangle):
    m = unit_triangle
    assert m.meshMake()
    nodes = m.getNodesAtMesh(0)
    nodes[1].xn = 5.0
    assert nodes[1].xn == 5.0
    assert m.getNodesAtMesh(0)[1].xn == 1.0
    assert m.getNodeX(2) == 1.0


@pytest.mark.parametrize(
    "cls, make, prop, value",
    [
        (vm.VecNodes, node, "yn", 7.0),
        (vm.VecTriangles, triangle, "id", 70),
        (vm.VecCircles, circle, "radius", 7.0),
        (vm.VVDouble, row, None, None),
    ],
)
def test_vector_proxy_writes_into_the_container(cls, make, prop, value):
    v = filled(cls, [make(i) for i in range(3)])
    element = v[1]
    if prop is None:
        element.append(9.0)
        assert list(v[1]) == [1.0, 1.5, 9.0]
    else:
        setattr(element, prop, value)
        assert getattr(v[1], prop) == value


@pytest.mark.parametrize(
    "cls, make, prop, value",
    [
        (vm.MapTriangles, triangle, "id", 70),
        (vm.MapCircles, circle, "radius", 7.0),
        (vm.MIntVDouble, lambda i: vdouble([i]), None, None),
    ],
)
def test_map_proxy_writes_into_the_container(cls, make, prop, value):
    m = cls()
    m[1] = make(1)
    element = m[1]
    if prop is None:
        element.append(9.0)
        assert list(m[1]) == [1.0, 9.0]
    else:
        setattr(element, prop, value)
        assert getattr(m[1], prop) == value


def test_proxy_keeps_its_container_alive():
    v = filled(vm.VecNodes, [node(1), node(2)])
    element = v[1]
    del v
    gc.collect()
    assert (element.id, element.xn) == (2, 2.0)


def test_proxy_follows_its_element_when_earlier_ones_go():
    v = filled(vm.VecNodes, [node(i) for i in range(4)])
    element = v[2]
    del v[0]
    v[1].xn = 50.0
    assert (element.id, element.xn) == (2, 50.0)
    v[0:0] = filled(vm.VecNodes, [node(8), node(9)])
    v[3].yn = 60.0
    assert (element.id, element.yn) == (2, 60.0)


# A removed element leaves its proxy a copy of its own, counted while it lives.
@pytest.mark.parametrize(
    "cls, make, counter, remove",
    [
        (vm.VecNodes, node, "instancesOfNode2D", lambda c: c.__delitem__(1)),
        (vm.VecNodes, node, "instancesOfNode2D", lambda c: c.__delitem__(slice(0, 2))),
        (vm.VecNodes, node, "instancesOfNode2D", lambda c: c.__setitem__(slice(1, 2), filled(vm.VecNodes, [node(5)]))),
        (vm.VecTriangles, triangle, "instancesOfTriangle", lambda c: c.__delitem__(1)),
        (vm.VecCircles, circle, "instancesOfCircle", lambda c: c.__delitem__(-2)),
        (vm.MapTriangles, triangle, "instancesOfTriangle", lambda c: c.__delitem__(1)),
        (vm.MapCircles, circle, "instancesOfCircle", lambda c: c.__delitem__(1)),
    ],
)
def test_detached_proxy_keeps_its_value_and_is_counted(cls, make, counter, remove):
    count = getattr(VM, counter)
    container = cls()
    if hasattr(container, "append"):
        container.extend([make(0), make(1), make(2)])
    else:
        for key in range(3):
            container[key] = make(key)
    element = container[1]
    before = count()
    remove(container)
    gc.collect()
    assert count() == before + 1
    assert element.id == 1
    # The detached copy is now independent of the container.
    element.id = 40
    assert all(e.id != 40 for e in (container if hasattr(container, "append") else [x.data() for x in container]))
    del element
    gc.collect()
    assert count() == before


def test_map_nodes_value_taken_before_deletion_is_not_counted():
    nodes = vm.MapNodes()
    nodes[1] = node(1)
    value = nodes[1]
    before = VM.instancesOfNode2D()
    del nodes[1]
    gc.collect()
    assert VM.instancesOfNode2D() == before
    assert value.id == 1


def test_detached_triangle_keeps_its_vertex_nodes():
    v = vm.VecTriangles()
    v.append(triangle(3))
    element = v[0]
    del v[0]
    gc.collect()
    assert (element.p1.id, element.p1.xn, element.p1.yn) == (3, 3.0, -3.0)


def test_facade_results_are_new_containers(unit_triangle):
    m = unit_triangle
    ids = m.getModelIndexes()
    ids.append(99)
    assert list(m.getModelIndexes()) == [1]
    triangles = m.getTrianglesIds()
    triangles[7].append(4)
    del triangles[7]
    assert {k: list(v) for k, v in vm.toPythonDict(m.getTrianglesIds()).items()} == {7: [1, 2, 3]}


def test_circle_proxy_from_facade_shares_the_centre_only(unit_triangle):
    m = unit_triangle
    assert m.addCircle(1, 3, 4.0)
    circles = m.getCircles()
    circles[1].radius = 9.0
    assert circles[1].radius == 9.0
    assert list(m.getCirclesRadius()[1]) == [4.0]
    circles[1].center = vm.VelboNode2D(0.25, 0.75, 3)
    assert (m.getNodeX(3), m.getNodeY(3)) == (0.25, 0.75)
    assert list(m.getNodesCoords()[3]) == [0.25, 0.75]


# ---------------------------------------------------------------- arguments


@pytest.mark.parametrize(
    "argument",
    [[0.5], (0.5,), filled(vm.VInt, [1]), filled(vm.VFloat, [0.5]), vvdouble([[0.0, 1.0, -0.5]])],
    ids=["list", "tuple", "VInt", "VFloat", "VVDouble"],
)
def test_y_rays_take_only_a_vdouble(unit_triangle, argument):
    m = unit_triangle
    assert m.meshMake()
    with pytest.raises(TypeError):
        m.meshesSliceAtYrays(argument)
    assert m.trianglesSizeAtMesh(0) == 1
    assert m.meshesSliceAtYrays(vdouble([0.5]))
    assert m.trianglesSizeAtMesh(0) == 3


@pytest.mark.parametrize(
    "argument",
    [[[0.0, 1.0, -0.5]], [vdouble([0.0, 1.0, -0.5])], vdouble([0.0, 1.0, -0.5]), vm.VecNodes()],
    ids=["list-of-lists", "list-of-VDouble", "VDouble", "VecNodes"],
)
def test_line_rays_take_only_a_vvdouble(unit_triangle, argument):
    m = unit_triangle
    assert m.meshMake()
    with pytest.raises(TypeError):
        m.meshesSliceAtRays(argument)
    assert m.trianglesSizeAtMesh(0) == 1


# ---------------------------------------------------------------- the list and dict contract
#
# Every element is made from an int mark and read back as it; for the
# classes whose indexing hands out proxies, a proxy's mark can be written.
# Whatever a program does to a container, what it took out of it before
# stays valid: a proxy follows its element while the element is in the
# container, and keeps the element's last value once it is removed or
# replaced. Under the sanitizer build any stray access aborts the run.


def get_id(e):
    return e.id


def set_id(e, mark):
    e.id = mark


def get_first(e):
    return e[0]


def set_first(e, mark):
    e[0] = mark


def vint(values):
    return filled(vm.VInt, values)


# class, make(mark), read(element) -> mark, write(proxy, mark) or None
CONTRACT_VECTORS = {
    "VInt": (vm.VInt, lambda i: i, lambda e: e, None),
    "VDouble": (vm.VDouble, lambda i: i + 0.25, lambda e: e - 0.25, None),
    "VFloat": (vm.VFloat, lambda i: i + 0.5, lambda e: e - 0.5, None),
    "VVDouble": (vm.VVDouble, lambda i: vdouble([i, 0.5]), get_first, set_first),
    "VecNodes": (vm.VecNodes, node, get_id, set_id),
    "VecTriangles": (vm.VecTriangles, triangle, get_id, set_id),
    "VecCircles": (vm.VecCircles, circle, get_id, set_id),
}
PROXY_VECTORS = [name for name, (_, _, _, write) in CONTRACT_VECTORS.items() if write]

CONTRACT_MAPS = {
    "MIntVInt": (vm.MIntVInt, lambda i: vint([i]), get_first, set_first),
    "MIntVDouble": (vm.MIntVDouble, lambda i: vdouble([i]), get_first, set_first),
    "MapNodes": (vm.MapNodes, node, get_id, set_id),
    "MapTriangles": (vm.MapTriangles, triangle, get_id, set_id),
    "MapCircles": (vm.MapCircles, circle, get_id, set_id),
}
PROXY_MAPS = [name for name in CONTRACT_MAPS if name != "MapNodes"]


def marks(container, read):
    return [read(e) for e in container]


def keyed(mapping, read):
    return {e.key(): read(e.data()) for e in mapping}


@pytest.fixture(params=list(CONTRACT_VECTORS))
def vec(request):
    return CONTRACT_VECTORS[request.param]


@pytest.fixture(params=PROXY_VECTORS)
def proxy_vec(request):
    return CONTRACT_VECTORS[request.param]


@pytest.fixture(params=list(CONTRACT_MAPS))
def cmap(request):
    cls, make, read, write = CONTRACT_MAPS[request.param]
    m = cls()
    for key in (1, 2, 3):
        m[key] = make(key)
    return m, make, read, write, request.param != "MapNodes"


@pytest.fixture(params=PROXY_MAPS)
def proxy_map(request):
    cls, make, read, write = CONTRACT_MAPS[request.param]
    m = cls()
    for key in (1, 2, 3):
        m[key] = make(key)
    return m, make, read, write


def test_vector_element_from_iteration_survives_growth(vec):
    cls, make, read, write = vec
    v = filled(cls, [make(i) for i in range(3)])
    it = iter(v)
    first = next(it)
    v.extend([make(i) for i in range(3, 40)])  # the storage moves
    assert read(first) == 0
    # Iteration goes on by index over the grown vector.
    assert [read(e) for e in it] == list(range(1, 40))
    if write:
        write(first, 100)
        assert read(v[0]) == 100


def test_vector_elements_from_iteration_survive_shrinking(vec):
    cls, make, read, write = vec
    v = filled(cls, [make(i) for i in range(6)])
    it = iter(v)
    taken = [next(it), next(it)]
    del v[0:4]
    assert [read(e) for e in taken] == [0, 1]
    assert list(it) == []  # as a list iterator: index 2 is past the end now
    if write:
        write(taken[0], 50)
        assert marks(v, read) == [4, 5]


# Changes made from inside a loop over the vector: the loop sees what a loop
# over a list making the same changes sees.
def change_during_loop(seq, step, make):
    if step == 1:
        seq.append(make(10))
    elif step == 2:
        del seq[0]
    elif step == 3:
        seq[1:1] = [make(11), make(12)]
    elif step == 4:
        seq[-1] = make(13)
    elif step == 5:
        del seq[-3:]


def test_vector_changed_during_a_loop_acts_as_a_list(vec):
    cls, make, read, write = vec
    v = filled(cls, [make(i) for i in range(5)])
    model = list(range(5))

    seen = []
    for e in v:
        seen.append(read(e))
        change_during_loop(v, len(seen), make)
    expected_seen = []
    for e in model:
        expected_seen.append(e)
        change_during_loop(model, len(expected_seen), lambda i: i)

    assert seen == expected_seen
    assert marks(v, read) == model


def test_vector_replacing_an_element_detaches_its_proxy_only(proxy_vec):
    cls, make, read, write = proxy_vec
    v = filled(cls, [make(i) for i in range(5)])
    before, at, after = v[0], v[1], v[2]
    v[1] = make(9)
    assert read(at) == 1 and read(v[1]) == 9
    write(at, 70)  # the detached copy is its own
    assert read(v[1]) == 9
    write(before, 71)
    write(after, 72)
    assert marks(v, read) == [71, 9, 72, 3, 4]


def test_vector_slice_assignment_moves_or_detaches_proxies(proxy_vec):
    cls, make, read, write = proxy_vec
    v = filled(cls, [make(i) for i in range(5)])
    p = v[3]
    v[0:1] = [make(20), make(21)]  # one element before p becomes two
    write(p, 80)
    assert marks(v, read) == [20, 21, 1, 2, 80, 4]
    v[3:5] = [make(30)]  # p's element is replaced
    assert read(p) == 80
    write(p, 81)
    assert marks(v, read) == [20, 21, 1, 30, 4]
    q = v[4]
    v[::2] = [make(40), make(41), make(42)]  # an extended slice over q's element
    assert read(q) == 4
    assert marks(v, read) == [40, 21, 41, 30, 42]


def delete_at(index):
    return lambda v: v.__delitem__(index)


# Deleting from a vector [0 .. 5] with a live proxy of element 1: where the
# element is afterwards, or None when it went.
@pytest.mark.parametrize(
    "delete, position",
    [
        (delete_at(0), 0),
        (delete_at(-1), 1),
        (delete_at(1), None),
        (delete_at(-5), None),
        (delete_at(slice(0, 1)), 0),
        (delete_at(slice(0, 2)), None),
        (delete_at(slice(2, None)), 1),
        (delete_at(slice(None, None, 2)), 0),
        (delete_at(slice(1, None, 2)), None),
        (delete_at(slice(None, None, -3)), 1),
    ],
    ids=["before", "after", "at", "at-negative", "slice-before", "slice-over", "slice-after",
         "step-around", "step-over", "negative-step"],
)
def test_vector_delete_before_at_and_after_a_proxy(proxy_vec, delete, position):
    cls, make, read, write = proxy_vec
    v = filled(cls, [make(i) for i in range(6)])
    p = v[1]
    model = list(range(6))
    delete(v)
    delete(model)
    assert read(p) == 1
    write(p, 99)
    expected = list(model)
    if position is not None:
        expected[position] = 99
    assert marks(v, read) == expected
    assert read(p) == 99


def test_vector_proxies_of_one_element_are_one_object(proxy_vec):
    cls, make, read, write = proxy_vec
    v = filled(cls, [make(i) for i in range(3)])
    p = v[1]
    assert v[1] is p and v[-2] is p
    assert list(v)[1] is p
    del v[0]
    assert v[0] is p


def test_vector_missing_index_raises_and_changes_nothing(vec):
    cls, make, read, write = vec
    v = filled(cls, [make(i) for i in range(3)])
    for index in (3, -4, 2**70):
        with pytest.raises(IndexError):
            del v[index]
        with pytest.raises(IndexError):
            v[index] = make(9)
        with pytest.raises(IndexError):
            v[index]
    assert marks(v, read) == [0, 1, 2]


def test_vector_extended_slice_assignment_needs_equal_length(vec):
    cls, make, read, write = vec
    v = filled(cls, [make(i) for i in range(4)])
    with pytest.raises(ValueError):
        v[::2] = [make(9)]
    assert v[::-1] is not v and marks(v[::-1], read) == [3, 2, 1, 0]
    assert marks(v, read) == [0, 1, 2, 3]


def test_map_entries_from_iteration_stay_valid(cmap):
    m, make, read, write, proxies = cmap
    entries = list(m)
    del m[1]
    m[3] = make(30)
    m[4] = make(4)
    assert [e.key() for e in entries] == [1, 2, 3]
    assert [read(e.data()) for e in entries] == [1, 2, 3]
    write(entries[1].data(), 20)
    write(entries[0].data(), 10)
    # A proxy still in its map writes into it; a copy or a detached proxy does not.
    assert keyed(m, read) == {2: 20 if proxies else 2, 3: 30, 4: 4}
    assert read(entries[0].data()) == (10 if proxies else 1)


@pytest.mark.parametrize(
    "change",
    [lambda m, make: m.__setitem__(9, make(9)), lambda m, make: m.__delitem__(3)],
    ids=["add", "delete"],
)
def test_map_size_change_during_iteration_raises(cmap, change):
    m, make, read, write, proxies = cmap
    it = iter(m)
    first = next(it)
    change(m, make)
    with pytest.raises(RuntimeError):
        next(it)
    assert first.key() == 1 and read(first.data()) == 1


def test_map_values_replaced_during_iteration(cmap):
    m, make, read, write, proxies = cmap
    seen = []
    for e in m:
        seen.append((e.key(), read(e.data())))
        m[e.key()] = make(10 * e.key())
        # The entry keeps the value it was made with.
        assert read(e.data()) == e.key()
    assert seen == [(1, 1), (2, 2), (3, 3)]
    assert keyed(m, read) == {1: 10, 2: 20, 3: 30}


def test_map_replacing_a_value_detaches_its_proxy_only(proxy_map):
    m, make, read, write = proxy_map
    p1, p2 = m[1], m[2]
    m[2] = make(20)
    assert read(p2) == 2
    write(p2, 21)
    write(p1, 11)
    assert keyed(m, read) == {1: 11, 2: 20, 3: 3}


def test_map_delete_before_at_and_after_a_proxy(proxy_map):
    m, make, read, write = proxy_map
    m[4] = make(4)
    first, p = m[1], m[2]
    del m[3]  # a key above every live proxy's key
    del m[1]
    write(p, 22)
    assert keyed(m, read) == {2: 22, 4: 4}
    assert read(first) == 1
    del m[2]
    assert read(p) == 22
    write(p, 23)
    assert keyed(m, read) == {4: 4}
    assert m[4] is m[4]


def test_map_missing_key_raises_key_error(cmap):
    m, make, read, write, proxies = cmap
    for key in (0, 4, -1, 2**40):
        with pytest.raises(KeyError):
            del m[key]
        with pytest.raises(KeyError):
            m[key]
        assert key not in m
    assert keyed(m, read) == {1: 1, 2: 2, 3: 3}


def test_map_proxy_from_a_modeller_result(unit_triangle):
    m = unit_triangle
    assert m.addNode(4, 2.0, 2.0)
    assert m.addTriangle(8, 2, 3, 4)
    ids = m.getTrianglesIds()
    first = ids[7]
    del ids[8]
    first.append(5)
    assert {k: list(v) for k, v in vm.toPythonDict(ids).items()} == {7: [1, 2, 3, 5]}


class Sneaky(float):
    """A float whose conversion runs Python code first."""

    def __new__(cls, value, action):
        number = float.__new__(cls, value)
        number.action = action
        return number

    def __float__(self):
        self.action()
        return float.__float__(self)


# Converting an argument may change the container a proxy stands in: the
# call still lands on the element where it is after the change, or on the
# proxy's own copy once the element is gone.
def test_argument_conversion_that_moves_the_element():
    rows = vvdouble([[1.0]])
    row = rows[0]
    row.append(Sneaky(2.0, lambda: rows.extend([vdouble([0.0])] * 50)))
    assert list(rows[0]) == [1.0, 2.0] and len(rows) == 51

    nodes = filled(vm.VecNodes, [node(1)])
    n = nodes[0]
    n.xn = Sneaky(9.0, lambda: nodes.extend([node(2)] * 50))
    assert nodes[0].xn == 9.0


def test_argument_conversion_that_removes_the_element():
    rows = vvdouble([[1.0], [2.0]])
    row = rows[0]
    row.append(Sneaky(3.0, lambda: rows.__delitem__(0)))
    assert list(row) == [1.0, 3.0]
    assert [list(r) for r in rows] == [[2.0]]

    values = vm.MIntVDouble()
    values[1] = vdouble([1.0])
    value = values[1]
    value.append(Sneaky(5.0, lambda: values.__delitem__(1)))
    assert list(value) == [1.0, 5.0] and len(values) == 0

    circles = filled(vm.VecCircles, [circle(1), circle(2)])
    c = circles[0]
    c.radius = Sneaky(8.0, lambda: circles.__delitem__(slice(None)))
    assert c.radius == 8.0 and len(circles) == 0


# ---------------------------------------------------------------- list and dict answers
#
# Each row: an operation on a sequence, what a list answers (a value, or the
# error it raises) and so what a vector of the same numbers must answer; a
# vector that raises is left as it was, as the list is.


class Index:
    """An integer that is not an int, as a NumPy integer is."""

    def __init__(self, value):
        self.value = value

    def __index__(self):
        return self.value


try:
    import numpy
except ImportError:  # the NumPy rows are skipped without it
    numpy = None

needs_numpy = pytest.mark.skipif(numpy is None, reason="NumPy is not installed")


def assign(index, value):
    def run(s):
        s[index] = value
        return list(s)

    return run


def delete(index):
    def run(s):
        del s[index]
        return list(s)

    return run


def np_int(value):
    return numpy.int64(value)


LIST_ANSWERS = [
    # slice assignment takes an iterable only
    ("v[0:2] = 7", assign(slice(0, 2), 7), TypeError),
    ("v[::2] = 7", assign(slice(None, None, 2), 7), TypeError),
    ("v[0:0] = 7", assign(slice(0, 0), 7), TypeError),
    ("v[0:2] = [7]", assign(slice(0, 2), [7]), [7, 3]),
    ("v[::2] = [7]", assign(slice(None, None, 2), [7]), ValueError),
    ("v[::2] = (7, 8)", assign(slice(None, None, 2), (7, 8)), [7, 2, 8]),
    # membership compares numbers as Python does
    ("1.0 in v", lambda s: 1.0 in s, True),
    ("2.5 in v", lambda s: 2.5 in s, False),
    ("True in v", lambda s: True in s, True),
    ("2**70 in v", lambda s: 2**70 in s, False),
    ("-2**70 in v", lambda s: -(2**70) in s, False),
    ("10**400 in v", lambda s: 10**400 in s, False),
    ("nan in v", lambda s: float("nan") in s, False),
    ("inf in v", lambda s: float("inf") in s, False),
    ("Fraction(3) in v", lambda s: Fraction(3) in s, True),
    ("Decimal('2.5') in v", lambda s: Decimal("2.5") in s, False),
    ("'1' in v", lambda s: "1" in s, False),
    ("None in v", lambda s: None in s, False),
    # indices: ints and objects with __index__, nothing else
    ("v[Index(1)]", lambda s: s[Index(1)], 2),
    ("v[Index(-1)]", lambda s: s[Index(-1)], 3),
    ("v[True]", lambda s: s[True], 2),
    ("v[Index(1)] = 9", assign(Index(1), 9), [1, 9, 3]),
    ("del v[Index(0)]", delete(Index(0)), [2, 3]),
    ("v[Index(0):Index(2)]", lambda s: list(s[Index(0) : Index(2)]), [1, 2]),
    ("v[Index(3)]", lambda s: s[Index(3)], IndexError),
    ("v[Index(2**70)]", lambda s: s[Index(2**70)], IndexError),
    ("v[1.0]", lambda s: s[1.0], TypeError),
    ("v[1.0] = 9", assign(1.0, 9), TypeError),
    ("del v['0']", delete("0"), TypeError),
    ("v[np.int64(2)]", lambda s: s[np_int(2)], 3),
    ("v[np.int64(0)] = 5", lambda s: assign(np_int(0), 5)(s), [5, 2, 3]),
    ("np.int64(2) in v", lambda s: np_int(2) in s, True),
    ("v[np.float64(1)]", lambda s: s[numpy.float64(1)], TypeError),
]
LIST_ANSWER_ROWS = [
    pytest.param(*row, id=row[0], marks=[needs_numpy] if "np." in row[0] else []) for row in LIST_ANSWERS
]


def answer(run, seq):
    try:
        return run(seq)
    except Exception as e:  # noqa: BLE001 - the error type is the answer
        return type(e)


@pytest.mark.parametrize("cls, values", [(vm.VInt, [1, 2, 3]), (vm.VDouble, [1.0, 2.0, 3.0])], ids=["VInt", "VDouble"])
@pytest.mark.parametrize("what, run, expected", LIST_ANSWER_ROWS)
def test_vector_answers_as_a_list(cls, values, what, run, expected):
    assert answer(run, list(values)) == expected  # the row says what a list does
    v = filled(cls, values)
    assert answer(run, v) == expected
    if isinstance(expected, type):
        assert list(v) == values


@pytest.mark.parametrize(
    "cls, stored, probe, found",
    [
        (vm.VDouble, 2.0**53, 2**53, True),
        (vm.VDouble, 2.0**53, 2**53 + 1, False),
        (vm.VDouble, 2.0**70, 2**70, True),
        (vm.VDouble, 2.0**70, 2**70 + 1, False),
        (vm.VDouble, -(2.0**63), -(2**63), True),
        (vm.VDouble, 2.0**63, 2**63 - 1, False),
        (vm.VInt, 2**31 - 1, 2**31 - 1, True),
        (vm.VInt, -(2**31), float(-(2**31)), True),
        (vm.VInt, 7, 7.5, False),
        (vm.VFloat, 2.0**70, 2**70, True),
        (vm.VFloat, 1.0, 10**400, False),
    ],
)
def test_number_membership_is_exact_as_in_a_list(cls, stored, probe, found):
    v = filled(cls, [0, stored])
    assert (probe in v) is found
    if cls is not vm.VFloat:  # a VFloat rounds a probe to single precision first
        assert (probe in list(v)) is found


class Eraser:
    """A probe whose comparison empties the sequence it is looked for in."""

    def __init__(self):
        self.seq = None

    def __eq__(self, other):
        del self.seq[:]
        return False


class Grower:
    """A probe whose first comparison adds 99 to the sequence; it equals 99."""

    def __init__(self):
        self.seq = None

    def __eq__(self, other):
        if self.seq is not None:
            seq, self.seq = self.seq, None
            seq.append(99)
        return other == 99


@pytest.mark.parametrize("probe_class, found, left", [(Eraser, False, []), (Grower, True, [1, 2, 3, 99])])
@pytest.mark.parametrize("cls", [vm.VInt, vm.VDouble, vm.VFloat])
def test_membership_probe_that_changes_the_vector(cls, probe_class, found, left):
    model = [1, 2, 3]
    probe = probe_class()
    probe.seq = model
    assert (probe in model) is found and model == left
    v = filled(cls, [1, 2, 3])
    probe = probe_class()
    probe.seq = v
    assert (probe in v) is found
    assert list(v) == left


def test_map_keys_may_be_index_objects(cmap):
    m, make, read, write, proxies = cmap
    assert read(m[Index(2)]) == 2
    assert Index(3) in m and Index(4) not in m and Index(2**70) not in m
    m[Index(5)] = make(5)
    del m[Index(1)]
    assert keyed(m, read) == {2: 2, 3: 3, 5: 5}
    with pytest.raises(KeyError):
        m[Index(2**70)]
    with pytest.raises(OverflowError):
        m[Index(2**70)] = make(6)
    if proxies:
        assert m[Index(2)] is m[2]
    assert keyed(m, read) == {2: 2, 3: 3, 5: 5}


# Changing the keys inside a loop over a map raises RuntimeError at the next
# step, whatever the size afterwards: a dict raises when it notices, a map
# always notices. Replacing a value (test_map_values_replaced_during_iteration)
# does not raise.
def swap_for_next(m, key, make):
    del m[key]
    m[key + 10] = make(key + 10)


def take_out_and_back(m, key, make):
    del m[key]
    m[key] = make(key)


KEY_CHANGES = {
    "delete-and-add": swap_for_next,
    "delete-and-add-back": take_out_and_back,
    "add": lambda m, key, make: m.__setitem__(key + 10, make(key + 10)),
    "delete": lambda m, key, make: m.__delitem__(key),
}


@pytest.mark.parametrize("change", list(KEY_CHANGES.values()), ids=list(KEY_CHANGES))
def test_map_keys_changed_during_a_loop_raise(cmap, change):
    m, make, read, write, proxies = cmap
    seen = []
    it = iter(m)
    with pytest.raises(RuntimeError):
        for e in it:
            seen.append(e.key())
            if len(seen) > 5:
                break  # would never end
            change(m, e.key(), make)
    assert seen == [1]
    # The iteration stays failed, whatever comes after.
    with pytest.raises(RuntimeError):
        next(it)
    # The map holds what the one change made.
    expected = {1: 1, 2: 2, 3: 3}
    change(expected, 1, lambda i: i)
    assert keyed(m, read) == expected


@pytest.mark.parametrize("cls", list(CONTRACT_MAPS))
def test_loop_moving_each_key_up_ends_as_on_a_dict(cls):
    cls, make, read, write = CONTRACT_MAPS[cls]

    d = {1: 1}
    with pytest.raises(RuntimeError):
        for k in d:
            del d[k]
            d[k + 1] = k + 1
    m = cls()
    m[1] = make(1)
    with pytest.raises(RuntimeError):
        for e in m:
            k = e.key()
            if k > 5:
                break  # would never end
            del m[k]
            m[k + 1] = make(k + 1)
    assert keyed(m, read) == d == {2: 2}


def test_finished_map_iteration_stays_finished(cmap):
    m, make, read, write, proxies = cmap
    it = iter(m)
    assert [e.key() for e in it] == [1, 2, 3]
    m[9] = make(9)
    del m[1]
    with pytest.raises(StopIteration):
        next(it)


def test_map_changed_between_iter_and_next_raises(cmap):
    m, make, read, write, proxies = cmap
    it = iter(m)
    swap_for_next(m, 2, make)
    with pytest.raises(RuntimeError, match="keys changed"):
        next(it)
    it = iter(m)
    del m[1]
    with pytest.raises(RuntimeError, match="changed size"):
        next(it)


# ---------------------------------------------------------------- reversed maps
#
# reversed(m) gives what iterating over m gives, the entries, from last to
# first (not the values under 0 ... len - 1 that a sequence would give), and
# stops on a change of keys as the forward iteration does.

REVERSED_KEYS = {
    "empty": [],
    "one": [0],
    "unordered": [30, -10, 20, 0, 5],
    "int-range": [2**31 - 1, -(2**31), 1, -1],
}


@pytest.mark.parametrize("keys", list(REVERSED_KEYS.values()), ids=list(REVERSED_KEYS))
@pytest.mark.parametrize("name", list(CONTRACT_MAPS))
def test_map_reversed_gives_the_entries_last_to_first(name, keys):
    cls, make, read, write = CONTRACT_MAPS[name]
    proxies = name != "MapNodes"
    m = cls()
    for key in keys:
        m[key] = make(key)
    expected = sorted(keys, reverse=True)
    forward = list(m)
    entries = list(reversed(m))
    entry_class = getattr(vm, "map_indexing_suite_" + name + "_entry")
    assert all(type(e) is entry_class for e in entries)
    assert [e.key() for e in entries] == [e.key() for e in reversed(forward)] == expected
    assert [read(e.data()) for e in entries] == expected
    assert [type(e.data()) for e in entries] == [type(e.data()) for e in reversed(forward)]
    # Each value is the map's one proxy of it, or a copy of its own.
    assert all((e.data() is m[e.key()]) == proxies for e in entries)
    for e in entries:
        write(e.data(), ~e.key())
    assert keyed(m, read) == {key: ~key if proxies else key for key in keys}
    # The iterator keeps its map alive, and stays finished at the end.
    it = reversed(m)
    del m, forward
    gc.collect()
    assert [e.key() for e in it] == expected
    assert list(it) == []


@pytest.mark.parametrize("change", list(KEY_CHANGES.values()), ids=list(KEY_CHANGES))
def test_map_keys_changed_during_a_reversed_loop_raise(cmap, change):
    m, make, read, write, proxies = cmap
    seen = []
    it = reversed(m)
    with pytest.raises(RuntimeError):
        for e in it:
            seen.append((e.key(), read(e.data())))
            if len(seen) > 5:
                break  # would never end
            change(m, e.key(), make)
    assert seen == [(3, 3)]
    with pytest.raises(RuntimeError):
        next(it)
    expected = {1: 1, 2: 2, 3: 3}
    change(expected, 3, lambda i: i)
    assert keyed(m, read) == expected


def test_map_reversed_walk_changes_as_the_forward_one(cmap):
    m, make, read, write, proxies = cmap
    seen = []
    for e in reversed(m):
        m[e.key()] = make(10 * e.key())  # replacing a value does not raise
        # The entry keeps the value it was made with.
        seen.append((e.key(), read(e.data())))
    assert seen == [(3, 3), (2, 2), (1, 1)]
    assert keyed(m, read) == {1: 10, 2: 20, 3: 30}
    it = reversed(m)
    swap_for_next(m, 2, make)
    with pytest.raises(RuntimeError, match="keys changed"):
        next(it)
    it = reversed(m)
    del m[1]
    with pytest.raises(RuntimeError, match="changed size"):
        next(it)
    it = reversed(m)
    assert [(e.key(), read(e.data())) for e in it] == [(12, 12), (3, 30)]
    m[0] = make(0)
    with pytest.raises(StopIteration):
        next(it)


# ---------------------------------------------------------------- garbage collection inside indexing
#
# Making the proxy that indexing hands out is an allocation, and so may run a
# garbage collection whose finalisers change the container. A finaliser that
# empties the container must leave indexing with IndexError (KeyError for a
# map) or with a proxy that detaches like any other, never with a proxy of
# an element that is gone. The collection is moved allocation by allocation
# through the call with gc.set_threshold until it lands between the reading
# of the index (an __index__ that says when it ran) and the return.


class ReadIndex:
    def __init__(self, value, state):
        self.value = value
        self.state = state

    def __index__(self):
        self.state["read"] = True
        return self.value


def vector_of(cls, make):
    def build():
        return filled(cls, [make(i) for i in range(3)])

    return build, lambda v: v.__delitem__(slice(None)), lambda v: v.extend([make(i + 10) for i in range(3)])


def map_of(cls, make):
    def build():
        m = cls()
        for key in range(3):
            m[key] = make(key)
        return m

    def empty(m):
        for key in range(3):
            del m[key]

    def refill(m):
        for key in range(3):
            m[key] = make(key + 10)

    return build, empty, refill


GC_CONTAINERS = {
    "VecNodes": (vector_of(vm.VecNodes, node), get_id, set_id, IndexError),
    "VecCircles": (vector_of(vm.VecCircles, circle), get_id, set_id, IndexError),
    "VVDouble": (vector_of(vm.VVDouble, lambda i: vdouble([i])), get_first, set_first, IndexError),
    "MapCircles": (map_of(vm.MapCircles, circle), get_id, set_id, KeyError),
    "MIntVDouble": (map_of(vm.MIntVDouble, lambda i: vdouble([i])), get_first, set_first, KeyError),
}


@pytest.mark.parametrize("kind", list(GC_CONTAINERS))
def test_garbage_collection_while_indexing_makes_its_proxy(kind):
    (build, empty, refill), read, write, missing = GC_CONTAINERS[kind]
    windows = 0
    for threshold in range(1, 40):
        container = build()
        state = {"read": False, "returned": False, "window": False}

        class Finaliser:
            def __del__(self):
                state["window"] = state["read"] and not state["returned"]
                empty(container)

        gc.collect()
        garbage = Finaliser()
        garbage.cycle = garbage
        del garbage
        thresholds = gc.get_threshold()
        gc.set_threshold(threshold)
        try:
            try:
                proxy = container[ReadIndex(2, state)]
            except missing:
                proxy = None
            state["returned"] = True
        finally:
            gc.set_threshold(*thresholds)
        gc.collect()  # the finaliser has run by now
        assert len(container) == 0
        windows += state["window"]
        if state["window"]:
            assert proxy is None
        if proxy is not None:
            # Detached when the finaliser emptied the container after the call.
            assert read(proxy) == 2
            refill(container)
            assert container[2] is not proxy
            write(proxy, 40)
            assert read(container[2]) == 12
        del proxy, container
    # The collection did land inside the call.
    assert windows > 0


# ---------------------------------------------------------------- circle copies
#
# A circle put into a container is a copy with a centre node of its own. Each
# row makes, in a modeller m whose circle 1 sits on node 3, a source circle
# and a copy of it; writing the centre of either leaves the other as it was.
# A source taken from getCircles shares the modeller's node.


def modeller_circle(m):
    return m.getCircles()[1]


def appended(m):
    source, w = modeller_circle(m), vm.VecCircles()
    w.append(source)
    return source, w[0]


def extended(m):
    source, w = modeller_circle(m), vm.VecCircles()
    w.extend(iter([source]))
    return source, w[0]


def slice_copied(m):
    v = vm.VecCircles()
    v.append(circle(1))
    v[0].center = vm.VelboNode2D(1.0, 1.0, 3)
    return v[0], v[0:1][0]


def slice_assigned(m):
    source, w = modeller_circle(m), filled(vm.VecCircles, [circle(9)])
    w[0:1] = [source]
    return source, w[0]


def item_assigned(m):
    source, w = modeller_circle(m), filled(vm.VecCircles, [circle(9)])
    w[0] = source
    return source, w[0]


def map_assigned(m):
    source, w = modeller_circle(m), vm.MapCircles()
    w[4] = source
    return source, w[4]


def map_assigned_within(m):
    circles = m.getCircles()
    circles[2] = circles[1]
    return circles[1], circles[2]


def detached(m):
    circles = m.getCircles()
    copy = circles[1]
    del circles[1]
    return modeller_circle(m), copy


CIRCLE_COPIES = {
    "append": appended,
    "extend": extended,
    "slice-copy": slice_copied,
    "slice-assignment": slice_assigned,
    "item-assignment": item_assigned,
    "map-assignment": map_assigned,
    "map-assignment-within-a-result": map_assigned_within,
    "detached-proxy": detached,
}


def centre(c):
    n = c.center
    return (n.id, n.xn, n.yn)


@pytest.mark.parametrize("put", list(CIRCLE_COPIES.values()), ids=list(CIRCLE_COPIES))
def test_circle_copy_has_a_centre_of_its_own(current, put):
    m = current
    assert m.addNode(3, 1.0, 1.0)
    assert m.addCircle(1, 3, 6.0)
    source, copy = put(m)
    assert centre(source) == centre(copy) == (3, 1.0, 1.0)
    assert copy.radius == source.radius

    source.center = vm.VelboNode2D(2.0, 2.0, 3)
    assert centre(copy) == (3, 1.0, 1.0)
    copy.center = vm.VelboNode2D(5.0, 6.0, 7)
    assert centre(source) == (3, 2.0, 2.0)
    assert centre(copy) == (7, 5.0, 6.0)
    # The modeller's node moved with a source taken from it, never with the copy.
    assert m.setNodeY(3, 4.0)
    assert centre(copy) == (7, 5.0, 6.0)
    assert m.getNodeX(3) == (1.0 if put is slice_copied else 2.0)
