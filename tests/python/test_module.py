"""Module entry: registered names, the conversion functions and the
translation of the modeller's exception."""

import os
import subprocess
import sys

import pytest

import velbomodeler as vm

# Every class in the order the module registers it.
REGISTERED_CLASSES = [
    "VInt",
    "VDouble",
    "VVDouble",
    "VFloat",
    "MIntVInt",
    "MIntVDouble",
    "VecNodes",
    "VecTriangles",
    "VecCircles",
    "MapNodes",
    "VelboNode2D",
    "MapTriangles",
    "VelboTriangle",
    "MapCircles",
    "VelboCircle",
    "VelboAreaProperties",
    "VelboModeler",
]


def test_module_registers_functions_then_classes_in_order():
    names = [n for n in vm.__dict__ if not n.startswith("__") and not n.startswith("map_indexing_suite_")]
    assert names == ["toPythonDict", "toPythonList"] + REGISTERED_CLASSES


def test_import_writes_nothing():
    # A fresh interpreter, so that the module is loaded and built anew.
    env = dict(os.environ, PYTHONPATH=os.path.dirname(vm.__file__))
    run = subprocess.run(
        [sys.executable, "-c", "import velbomodeler; velbomodeler.VelboModeler()"],
        env=env,
        capture_output=True,
        text=True,
        check=True,
    )
    assert (run.stdout, run.stderr) == ("", "")


# ---------------------------------------------------------------- toPythonList


@pytest.mark.parametrize(
    "cls, values",
    [
        (vm.VInt, []),
        (vm.VInt, [3, -1, 7]),
        (vm.VDouble, []),
        (vm.VDouble, [0.5, -2.25, 1e300]),
    ],
)
def test_to_python_list_copies_in_order(cls, values):
    container = cls()
    container.extend(values)
    result = vm.toPythonList(container)
    assert type(result) is list
    assert result == values
    assert all(type(v) is type(w) for v, w in zip(result, values))
    result.append(99)
    assert len(container) == len(values)


@pytest.mark.parametrize(
    "argument",
    [vm.VFloat(), vm.VVDouble(), vm.VecNodes(), [1, 2], (1.0,), None],
    ids=["VFloat", "VVDouble", "VecNodes", "list", "tuple", "None"],
)
def test_to_python_list_refuses_other_arguments(argument):
    with pytest.raises(TypeError):
        vm.toPythonList(argument)


# ---------------------------------------------------------------- toPythonDict


@pytest.mark.parametrize("cls", [vm.MapNodes, vm.MapTriangles, vm.MapCircles, vm.MIntVInt, vm.MIntVDouble])
def test_to_python_dict_of_empty_map_is_empty(cls):
    assert vm.toPythonDict(cls()) == {}


def test_to_python_dict_keys_ascend_whatever_the_fill_order():
    nodes = vm.MapNodes()
    for key in (5, -2, 9, 0):
        nodes[key] = vm.VelboNode2D(float(key), 0.0, key)
    result = vm.toPythonDict(nodes)
    assert list(result) == [-2, 0, 5, 9]
    assert [n.xn for n in result.values()] == [-2.0, 0.0, 5.0, 9.0]


@pytest.mark.parametrize("cls, value_cls", [(vm.MIntVInt, vm.VInt), (vm.MIntVDouble, vm.VDouble)])
def test_to_python_dict_keeps_vector_values_wrapped(cls, value_cls):
    mapping = cls()
    value = value_cls()
    value.extend([1, 2, 3])
    mapping[4] = value
    result = vm.toPythonDict(mapping)
    assert type(result[4]) is value_cls
    assert vm.toPythonList(result[4]) == [1, 2, 3]


def test_to_python_dict_values_are_copies(unit_triangle):
    m = unit_triangle
    nodes = m.getNodes()
    result = vm.toPythonDict(nodes)
    result[1].xn = 42.0
    assert nodes[1].xn == 0.0
    assert m.getNodeX(1) == 0.0

    coords = m.getNodesCoords()
    row = vm.toPythonDict(coords)[2]
    row[0] = 42.0
    assert list(coords[2]) == [1.0, 0.0]


def test_to_python_dict_of_triangles_and_circles(unit_triangle):
    m = unit_triangle
    assert m.addCircle(3, 2, 5.0)
    circles = vm.toPythonDict(m.getCircles())
    assert list(circles) == [3]
    assert (circles[3].id, circles[3].radius, circles[3].center.id) == (3, 5.0, 2)

    triangles = vm.MapTriangles()
    t = vm.VelboTriangle(8)
    t.p2 = vm.VelboNode2D(1.0, 2.0, 4)
    triangles[8] = t
    copy = vm.toPythonDict(triangles)[8]
    assert copy.id == 8
    assert (copy.p2.id, copy.p2.xn, copy.p2.yn) == (4, 1.0, 2.0)


def test_circle_copy_in_dict_shares_the_modeller_centre(unit_triangle):
    m = unit_triangle
    assert m.addCircle(1, 2, 5.0)
    copy = vm.toPythonDict(m.getCircles())[1]
    copy.center = vm.VelboNode2D(7.0, 8.0, 2)
    assert (m.getNodeX(2), m.getNodeY(2)) == (7.0, 8.0)
    assert m.setNodeX(2, 3.0)
    assert copy.center.xn == 3.0


@pytest.mark.parametrize(
    "argument",
    [{}, {1: vm.VelboNode2D()}, [], vm.VInt(), vm.VDouble(), vm.VecNodes(), vm.VecCircles()],
    ids=["dict", "dict-of-nodes", "list", "VInt", "VDouble", "VecNodes", "VecCircles"],
)
def test_to_python_dict_refuses_other_arguments(argument):
    with pytest.raises(TypeError):
        vm.toPythonDict(argument)


# ---------------------------------------------------------------- exception


@pytest.mark.parametrize("method", ["getNodeX", "getNodeY"])
def test_unknown_node_raises_runtime_error(modeler, capfd, method):
    capfd.readouterr()
    with pytest.raises(RuntimeError) as info:
        getattr(modeler, method)(12)
    assert str(info.value) == "Id dosn't exists"
    assert type(info.value) is RuntimeError
    assert capfd.readouterr().err == "ERR: Node2D with id = 12 doesn't exist !!!\n"


def test_node_lookup_ignores_the_current_model(modeler):
    assert modeler.addSection(1)
    assert modeler.addNode(4, 1.5, -2.5)
    assert modeler.addSection(2)
    assert (modeler.getNodeX(4), modeler.getNodeY(4)) == (1.5, -2.5)
    with pytest.raises(RuntimeError):
        modeler.getNodeX(5)
    # The modeller is still usable after the error.
    assert modeler.addNode(5, 0.0, 0.0)
    assert modeler.getNodeX(5) == 0.0

