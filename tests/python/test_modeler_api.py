"""The VelboModeler class seen from Python: its methods and their order,
static methods, the addSection forms, section models and nodes, the
diagnostic lines and the release of everything a modeller made."""

import gc
import math

import pytest

import velbomodeler as vm
from conftest import COUNTERS, RECT_B, RECT_H, as_lists, counters, vdouble

VM = vm.VelboModeler

METHODS = [
    "addSection",
    "setCurrent",
    "getCurrent",
    "getCurrentType",
    "getModelIndexes",
    "buildDomain",
    "domainBounding",
    "fzVector",
    "mxVector",
    "myVector",
    "intersectAtZDir",
    "intersectAtXDir",
    "intersectAtYDir",
    "sizeOfSectionModels",
    "sectionRotate",
    "addNode",
    "getNodeX",
    "getNodeY",
    "setNodeX",
    "setNodeY",
    "nodesSize",
    "getNodesCoords",
    "getNodes",
    "addTriangle",
    "trianglesSize",
    "getTrianglesIds",
    "getTrianglesCoords",
    "addCircle",
    "circlesSize",
    "getCirclesIds",
    "getCirclesRadius",
    "getCircles",
    "setCircleRadius",
    "addLawParaboleRectangle",
    "addLawBilinear",
    "setCirclesLaw",
    "setTrianglesLaw",
    "meshMake",
    "meshReset",
    "meshesSliceAtYrays",
    "meshesSliceAtRays",
    "meshSize",
    "nodesSizeAtMesh",
    "trianglesSizeAtMesh",
    "circlesSizeAtMesh",
    "getNodesAtMesh",
    "getTrianglesIdsAtMesh",
    "getTrianglesCoordsAtMesh",
    "getCirclesAtMesh",
    "calcSolidBarycenter",
    "calcPointBarycenter",
    "calcIdealBarycenter",
    "calcSolidAreaProperties",
    "calcPointAreaProperties",
    "calcIdealAreaProperties",
    "calcSolidArea",
    "calcPointArea",
    "calcIdealArea",
    "setNCoeff",
    "nCoeff",
    "printInfo",
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
    "setLogLevel",
]

STATIC_METHODS = METHODS[60:71]
INFO_LABELS = [
    "Section models     ==> ",
    "Meshes             ==> ",
    "Nodes              ==> ",
    "Triangles          ==> ",
    "Circles            ==> ",
    "Edges              ==> ",
    "Laws bilinear      ==> ",
    "Laws parabola rec. ==> ",
    "Interaction points ==> ",
    "Forces             ==> ",
]
DASHES = "-" * 26 + "\n"


def info_counts(values):
    """The ten count lines of the information table for the given counters."""
    return "".join(label + str(values[name]) + "\n" for label, name in zip(INFO_LABELS, COUNTERS))


# ---------------------------------------------------------------- the class


def test_methods_in_registration_order():
    names = [n for n in VM.__dict__ if not n.startswith("__")]
    assert len(METHODS) == 72
    assert names == METHODS


def test_native_only_names_are_not_registered():
    assert not hasattr(VM, "getIndexes")
    assert not hasattr(VM, "getTriangles")


def test_exactly_the_counters_and_print_info_are_static():
    static = [n for n, v in VM.__dict__.items() if isinstance(v, staticmethod)]
    assert static == STATIC_METHODS


@pytest.mark.parametrize("name", STATIC_METHODS[1:])
def test_counters_answer_on_class_and_instance(modeler, name):
    on_class = getattr(VM, name)()
    assert type(on_class) is int and on_class >= 0
    assert getattr(modeler, name)() == on_class


def test_new_modeller_holds_the_two_default_laws():
    before = counters()
    m = VM()
    assert VM.instancesOfLawParabola() == before["instancesOfLawParabola"] + 1
    assert VM.instancesOfLawBilinear() == before["instancesOfLawBilinear"] + 1
    assert VM.instancesOfModels() == before["instancesOfModels"]
    del m


def test_modeller_takes_no_constructor_argument():
    with pytest.raises(TypeError):
        VM(1)


def test_print_info_on_the_class(capfd):
    capfd.readouterr()
    values = counters()
    assert VM.printInfo("hello") is None
    out = capfd.readouterr()
    assert out.out == ""
    assert out.err == DASHES + "    INFO *VelboModeler*   \n" + DASHES + "hello\n" + info_counts(values)


def test_print_info_counts_a_live_modeller(rc_section, capfd):
    values = counters()
    assert values["instancesOfModels"] >= 1 and values["instancesOfCircle"] >= 4
    capfd.readouterr()
    rc_section.printInfo("")
    assert capfd.readouterr().err.endswith("\n" + info_counts(values))


def test_print_info_needs_a_text():
    with pytest.raises(TypeError):
        VM.printInfo()


# ---------------------------------------------------------------- addSection


def test_add_section_docstring():
    assert "Add a model and optionally make current" in VM.addSection.__doc__


@pytest.mark.parametrize(
    "args, kwargs, expected_current",
    [
        ((2,), {}, 2),
        ((), {"id": 2}, 2),
        ((2, True), {}, 2),
        ((2, False), {}, 1),
        ((2,), {"setCurrent": False}, 1),
        ((), {"id": 2, "setCurrent": False}, 1),
        ((), {"setCurrent": False, "id": 2}, 1),
        ((), {"setCurrent": True, "id": 2}, 2),
    ],
)
def test_add_section_positional_and_keyword_forms(current, args, kwargs, expected_current):
    m = current
    assert m.addSection(*args, **kwargs) is True
    assert list(m.getModelIndexes()) == [1, 2]
    assert m.getCurrent() == expected_current


def test_add_section_without_current_leaves_none(modeler, capfd):
    m = modeler
    assert m.addSection(1, False)
    capfd.readouterr()
    assert m.getCurrent() == -1
    assert m.setCurrent(1) is False
    assert capfd.readouterr().err == "No current model yet. Return -1\nERR: None model current yet.\n"
    assert m.addSection(2)
    assert m.setCurrent(1) is True
    assert m.getCurrent() == 1


@pytest.mark.parametrize(
    "args, kwargs",
    [
        ((), {}),
        ((), {"setCurrent": True}),
        ((), {"setCurrent": False}),
        ((1.5,), {}),
        (("1",), {}),
        ((1,), {"current": True}),
        ((1, True, 3), {}),
        ((1,), {"id": 1}),
    ],
)
def test_add_section_refused_arguments(modeler, args, kwargs):
    with pytest.raises(TypeError):
        modeler.addSection(*args, **kwargs)
    assert modeler.sizeOfSectionModels() == 0


# ---------------------------------------------------------------- models and nodes


def test_new_modeller_answers(modeler, capfd):
    m = modeler
    capfd.readouterr()
    assert m.getCurrent() == -1
    assert m.sizeOfSectionModels() == 0
    assert list(m.getModelIndexes()) == []
    assert m.nodesSize() == -1
    assert m.getCurrentType() == ""
    assert capfd.readouterr().err == (
        "No current model yet. Return -1\n" "ERR: None model current yet.\n" "ERR: None model current yet.\n"
    )


def test_models_and_current(modeler):
    m = modeler
    assert m.addSection(0)
    assert m.getCurrent() == 0
    assert m.getCurrentType() == "SectionModel"
    assert m.addSection(5, False)
    assert m.addSection(3, False)
    assert list(m.getModelIndexes()) == [0, 3, 5]
    assert type(m.getModelIndexes()) is vm.VInt
    assert m.sizeOfSectionModels() == 3
    assert m.setCurrent(0) is True
    assert m.setCurrent(5) is True
    assert m.getCurrent() == 5


def test_nodes_belong_to_their_model(modeler):
    m = modeler
    assert m.addSection(1)
    assert m.addNode(2, 1.0, 2.0)
    assert m.addNode(1, 3, 4)
    assert m.addSection(2)
    assert m.addNode(7, -1.0, -2.0)
    assert m.nodesSize() == 1
    assert [e.key() for e in m.getNodes()] == [7]
    assert m.setCurrent(1)
    assert m.nodesSize() == 2
    coords = m.getNodesCoords()
    assert type(coords) is vm.MIntVDouble
    assert [(e.key(), list(e.data())) for e in coords] == [(1, [3.0, 4.0]), (2, [1.0, 2.0])]
    nodes = m.getNodes()
    assert type(nodes) is vm.MapNodes
    assert [(e.key(), e.data().id, e.data().xn, e.data().yn) for e in nodes] == [(1, 1, 3.0, 4.0), (2, 2, 1.0, 2.0)]


def test_set_node_coordinates(current):
    m = current
    assert m.addNode(1, 1.0, 2.0)
    assert m.setNodeX(1, 5) is True
    assert m.setNodeY(1, -6.5) is True
    assert (m.getNodeX(1), m.getNodeY(1)) == (5.0, -6.5)
    # The saved coordinates change with them: a node made at (5, -6.5) equals the copy.
    nodes = vm.VecNodes()
    nodes.append(m.getNodes()[1])
    assert vm.VelboNode2D(5.0, -6.5, 1) in nodes


def test_section_rotate_quarter_turn_is_exact(current):
    m = current
    assert m.addNode(1, 1.0, 0.0)
    assert m.addNode(2, 2.0, 1.0)
    m.sectionRotate(90, 0, 0)
    assert (m.getNodeX(1), m.getNodeY(1)) == (0.0, 1.0)
    assert (m.getNodeX(2), m.getNodeY(2)) == (-1.0, 2.0)
    m.sectionRotate(90.0, 1.0, 1.0)
    assert (m.getNodeX(1), m.getNodeY(1)) == (1.0, 0.0)
    # The turned position is also the saved one.
    nodes = vm.VecNodes()
    nodes.append(m.getNodes()[1])
    assert vm.VelboNode2D(1.0, 0.0, 1) in nodes


def test_section_rotate_full_turn_goes_through_sine_and_cosine(current):
    m = current
    assert m.addNode(1, 1.0, 0.0)
    m.sectionRotate(360, 0, 0)
    rad = 360 * 0.017453292519943295
    assert (m.getNodeX(1), m.getNodeY(1)) == (math.cos(rad), math.sin(rad))
    assert m.getNodeY(1) != 0.0


@pytest.mark.parametrize(
    "call, args",
    [
        ("addNode", (1.0, 0.0, 0.0)),
        ("addNode", (1, "0", 0.0)),
        ("addNode", (1, 0.0)),
        ("getNodeX", (1.0,)),
        ("setNodeX", (1,)),
        ("setCurrent", (None,)),
        ("sectionRotate", (90, 0)),
        ("setLogLevel", (1.0,)),
        ("buildDomain", (1, 2)),
        ("calcPointBarycenter", ()),
        ("nodesSizeAtMesh", ()),
    ],
)
def test_wrong_arguments_raise_type_error(current, call, args):
    with pytest.raises(TypeError):
        getattr(current, call)(*args)


# ---------------------------------------------------------------- diagnostic lines


def nodes_123(m):
    for i, (x, y) in enumerate(((0.0, 0.0), (1.0, 0.0), (0.0, 1.0)), start=1):
        m.addNode(i, x, y)


def ten(m):
    m.addTriangle(10, 1, 2, 3)


# Each case: what to do on a modeller whose model 1 is current, then the one
# call whose result and standard error output are checked.
DIAGNOSTICS = [
    ("model-negative", None, lambda m: m.addSection(-1), False, "ERR: Cannot add section model with id negative\n"),
    ("model-present", None, lambda m: m.addSection(1), False, "ERR: Cannot add section model with id yet present\n"),
    ("current-unknown", None, lambda m: m.setCurrent(4), False, "ERR: Model id = 4 don't exists !!!\n"),
    ("current-same", None, lambda m: m.setCurrent(1), True, ""),
    ("node-negative", None, lambda m: m.addNode(-1, 0.0, 0.0), False, "ERR: Cannot add node with id negative\n"),
    ("node-present", nodes_123, lambda m: m.addNode(2, 5.0, 5.0), False, "ERR: Cannot add node with id yet present\n"),
    ("set-node-x", None, lambda m: m.setNodeX(8, 1.0), False, "ERR: Node2D with id = 8 doesn't exist !!!\n"),
    ("set-node-y", None, lambda m: m.setNodeY(9, 1.0), False, "ERR: Node2D with id = 9 doesn't exist !!!\n"),
    (
        "triangle-negative",
        nodes_123,
        lambda m: m.addTriangle(-1, 1, 2, 3),
        False,
        "ERR: Cannot add triangle with id negative\n",
    ),
    (
        "triangle-present",
        lambda m: (nodes_123(m), ten(m)),
        lambda m: m.addTriangle(10, 1, 2, 3),
        False,
        "ERR: Cannot add triangle with id yet present\n",
    ),
    (
        "triangle-node-1",
        nodes_123,
        lambda m: m.addTriangle(11, 99, 98, 97),
        False,
        "ERR: Cannot set triangle with wrong id for node 1 \n",
    ),
    (
        "triangle-node-2",
        nodes_123,
        lambda m: m.addTriangle(11, 1, 98, 97),
        False,
        "ERR: Cannot set triangle with wrong id for node 2 \n",
    ),
    (
        "triangle-node-3",
        nodes_123,
        lambda m: m.addTriangle(11, 1, 2, 99),
        False,
        "ERR: Cannot set triangle with wrong id for node 3 \n",
    ),
    ("triangle-same-nodes", nodes_123, lambda m: m.addTriangle(12, 1, 1, 1), True, ""),
    ("circle-negative", nodes_123, lambda m: m.addCircle(-2, 1, 1.0), False, "ERR: Cannot add circle with id negative\n"),
    (
        "circle-node",
        nodes_123,
        lambda m: m.addCircle(2, 4, 1.0),
        False,
        "ERR: Cannot set circle with wrong id for circle \n",
    ),
    ("circle-zero", nodes_123, lambda m: m.addCircle(2, 1, 0.0), False, "ERR: Cannot set circle with negative radius \n"),
    (
        "circle-negative-radius",
        nodes_123,
        lambda m: m.addCircle(2, 1, -5.0),
        False,
        "ERR: Cannot set circle with negative radius \n",
    ),
    (
        "circle-present",
        lambda m: (nodes_123(m), m.addCircle(2, 1, 1.0)),
        lambda m: m.addCircle(2, 3, 1.0),
        False,
        "ERR: Cannot add circle with id yet present\n",
    ),
    ("circle-beside-triangle", lambda m: (nodes_123(m), ten(m)), lambda m: m.addCircle(10, 1, 8.0), True, ""),
    (
        "law-present",
        None,
        lambda m: m.addLawBilinear(-100, "x", 1.0, 2.0, 3.0),
        False,
        "ERR: Law with same id exists !!!\n",
    ),
    (
        "law-present-parabola",
        None,
        lambda m: m.addLawParaboleRectangle(-200, "x", 1.0, 2.0, 3.0),
        False,
        "ERR: Law with same id exists !!!\n",
    ),
    ("circles-law", None, lambda m: m.setCirclesLaw(77), False, "ERR: Law with id *77* don't exists !!!\n"),
    ("triangles-law", None, lambda m: m.setTrianglesLaw(-3), False, "ERR: Law with id *-3* don't exists !!!\n"),
    ("mesh-index", None, lambda m: m.nodesSizeAtMesh(0), -1, "ERR: Wrong mesh index \n"),
    ("mesh-index-negative", None, lambda m: m.trianglesSizeAtMesh(-1), -1, "ERR: Wrong mesh index \n"),
    ("fz-before-build", None, lambda m: len(m.fzVector()), 0, "ERR: We need to use buildDomain before.\n"),
]


@pytest.mark.parametrize(
    "prepare, call, result, err", [case[1:] for case in DIAGNOSTICS], ids=[case[0] for case in DIAGNOSTICS]
)
def test_diagnostic_lines(current, capfd, prepare, call, result, err):
    if prepare is not None:
        prepare(current)
    capfd.readouterr()
    assert call(current) == result
    out = capfd.readouterr()
    assert out.out == ""
    # The domain queries also write their start line on the same stream.
    assert out.err.replace("VelboModeler::fzVector(): start\n", "") == err


def test_set_circle_radius_any_model_and_unknown_id(current, capfd):
    m = current
    assert m.addNode(1, 0.0, 0.0)
    assert m.addCircle(20, 1, 8.0)
    assert m.addSection(2)
    assert m.setCircleRadius(20, -1.0) is True
    assert m.setCurrent(1)
    assert list(m.getCirclesRadius()[20]) == [-1.0]
    capfd.readouterr()
    assert m.setCircleRadius(21, 1.0) is False
    err = capfd.readouterr().err
    assert err.startswith("ERR: ") and "21" in err and err.endswith("\n") and err.count("\n") == 1


# ---------------------------------------------------------------- refused numbers and laws

NAN = float("nan")
INF = float("inf")
ROTATE_LINE = "ERR: Cannot rotate section with angle or centre not finite\n"
RADIUS_LINE = "ERR: Cannot set circle with radius not finite \n"
SET_RADIUS_LINE = "ERR: Cannot set circle *1* with radius not finite \n"
N_LINE = "ERR: Cannot set n coefficient not finite\n"

# Each case: one call on the rectangle section of conftest, its result and its
# standard error output. None of them may change anything.
REFUSED = [
    ("rotate-nan", lambda m: m.sectionRotate(NAN, 0.0, 0.0), None, ROTATE_LINE),
    ("rotate-inf", lambda m: m.sectionRotate(INF, 0.0, 0.0), None, ROTATE_LINE),
    ("rotate-minus-inf", lambda m: m.sectionRotate(-INF, 150.0, 250.0), None, ROTATE_LINE),
    ("rotate-centre-x-nan", lambda m: m.sectionRotate(90.0, NAN, 0.0), None, ROTATE_LINE),
    ("rotate-centre-y-inf", lambda m: m.sectionRotate(90.0, 0.0, INF), None, ROTATE_LINE),
    ("circle-nan", lambda m: m.addCircle(9, 1, NAN), False, RADIUS_LINE),
    ("circle-inf", lambda m: m.addCircle(9, 1, INF), False, RADIUS_LINE),
    ("circle-minus-inf", lambda m: m.addCircle(9, 1, -INF), False, "ERR: Cannot set circle with negative radius \n"),
    ("radius-nan", lambda m: m.setCircleRadius(1, NAN), False, SET_RADIUS_LINE),
    ("radius-inf", lambda m: m.setCircleRadius(1, INF), False, SET_RADIUS_LINE),
    ("radius-minus-inf", lambda m: m.setCircleRadius(1, -INF), False, SET_RADIUS_LINE),
    ("n-nan", lambda m: m.setNCoeff(NAN), False, N_LINE),
    ("n-inf", lambda m: m.setNCoeff(INF), False, N_LINE),
    ("n-minus-inf", lambda m: m.setNCoeff(-INF), False, N_LINE),
    ("n-past-float", lambda m: m.setNCoeff(1e39), False, N_LINE),
    ("n-past-float-negative", lambda m: m.setNCoeff(-1e39), False, N_LINE),
    (
        "concrete-nan",
        lambda m: m.addLawParaboleRectangle(7, "c", NAN, -0.002, -0.0035),
        False,
        "ERR: Law *7* has a parameter that is not finite !!!\n",
    ),
    (
        "concrete-ecu-inf",
        lambda m: m.addLawParaboleRectangle(7, "c", -17.0, -0.002, -INF),
        False,
        "ERR: Law *7* has a parameter that is not finite !!!\n",
    ),
    (
        "concrete-in-tension",
        lambda m: m.addLawParaboleRectangle(7, "c", 17.0, -0.002, -0.0035),
        False,
        "ERR: Concrete law *7* needs fcd, ec2 and ecu negative !!!\n",
    ),
    (
        "concrete-peak-past-ecu",
        lambda m: m.addLawParaboleRectangle(7, "c", -17.0, -0.004, -0.0035),
        False,
        "ERR: Concrete law *7* needs ec2 not beyond ecu !!!\n",
    ),
    (
        "concrete-pieces",
        lambda m: m.addLawParaboleRectangle(7, "c", -17.0, -1e-200, -0.0035),
        False,
        "ERR: Law *7* pieces cannot be set up with these parameters !!!\n",
    ),
    (
        "steel-modulus-inf",
        lambda m: m.addLawBilinear(8, "s", 391.3, INF, 0.01),
        False,
        "ERR: Law *8* has a parameter that is not finite !!!\n",
    ),
    (
        "steel-modulus-zero",
        lambda m: m.addLawBilinear(8, "s", 391.3, 0.0, 0.01),
        False,
        "ERR: Steel law *8* needs fsd, Es and esu positive !!!\n",
    ),
    (
        "steel-breaks-before-yield",
        lambda m: m.addLawBilinear(8, "s", 391.3, 210000.0, 0.001),
        False,
        "ERR: Steel law *8* needs esu beyond the yield strain fsd/Es !!!\n",
    ),
]


def section_state(m):
    """What a refused call must leave as it was."""
    return (
        as_lists(m.getNodesCoords()),
        as_lists(m.getCirclesRadius()),
        as_lists(m.getCirclesIds()),
        m.nCoeff(),
        m.calcSolidArea(),
        m.calcIdealArea(),
        (m.calcIdealBarycenter().xn, m.calcIdealBarycenter().yn),
        (VM.instancesOfLawParabola(), VM.instancesOfLawBilinear(), VM.instancesOfCircle()),
    )


@pytest.mark.parametrize("call, result, err", [case[1:] for case in REFUSED], ids=[case[0] for case in REFUSED])
def test_refused_numbers_and_laws_change_nothing(rc_section, capfd, call, result, err):
    m = rc_section
    assert m.setNCoeff(15)
    before = section_state(m)
    capfd.readouterr()
    assert call(m) == result
    out = capfd.readouterr()
    assert (out.out, out.err) == ("", err)
    assert section_state(m) == before
    # The law ids stay free: no refused law was stored.
    assert m.addLawParaboleRectangle(7, "c", -17.0, -0.002, -0.0035)
    assert m.addLawBilinear(8, "s", 391.3, 210000.0, 0.01)


def test_concrete_law_with_ec2_at_ecu_is_built(rc_section, capfd):
    # C90/105: the parabola ends at the ultimate strain; tension carries nothing.
    m = rc_section
    assert m.addLawParaboleRectangle(7, "C90/105", -51.0, -0.0026, -0.0026)
    assert m.setTrianglesLaw(7)
    assert m.buildDomain(1, 4, False)
    assert "ERR" not in capfd.readouterr().err
    fz = list(m.fzVector())
    bars = 2 * math.pi * 100.0 + 2 * math.pi * 64.0
    assert fz[0] == pytest.approx(bars * 450.0 / 1.15, rel=1e-12)
    assert fz[4] == pytest.approx(-51.0 * RECT_B * RECT_H - bars * 450.0 / 1.15, rel=1e-12)


@pytest.mark.parametrize("level", [0, 1, -3])
def test_success_lines_follow_the_log_switch(modeler, capfd, level):
    m = modeler
    m.setLogLevel(level)
    steps = [
        (lambda: m.addSection(1), "Added with success new section model id = 1\n"),
        (lambda: m.addSection(2, False), "Added with success new section model id = 2\n"),
        (lambda: m.setCurrent(2), "New current model id = 2\n"),
        (lambda: m.setCurrent(2), "Model id = 2 is yet current !!!\n"),
        (lambda: m.addNode(4, 0.0, 0.0), "Added with success new node 2D *4* to model *2*\n"),
        (lambda: m.addNode(5, 1.0, 0.0), "Added with success new node 2D *5* to model *2*\n"),
        (lambda: m.addNode(6, 0.0, 1.0), "Added with success new node 2D *6* to model *2*\n"),
        (lambda: m.addTriangle(10, 4, 5, 6), "Added with success new triangle *10* to model *2*\n"),
        (lambda: m.addCircle(3, 4, 8.0), "Added with success new circle *3* to model *2*\n"),
        (lambda: m.addLawBilinear(6, "steel", 400.0, 2e5, 0.01), "INF: Added successfully law *steel* with id *6* !!!"),
        (lambda: m.addLawParaboleRectangle(7, "cls", -20.0, -0.002, -0.0035), "INF: Added successfully law *cls* with id *7* !!!"),
        (lambda: m.setCirclesLaw(6), "INF: Changed nb. *1* circles law with *steel* !!!\n"),
        (lambda: m.setTrianglesLaw(7), "INF: Changed nb. *1* triangles law with *cls* !!!\n"),
    ]
    capfd.readouterr()
    for call, line in steps:
        assert call() is True
        out = capfd.readouterr()
        assert out.out == ""
        assert out.err == (line if level else "")


def test_empty_model_list_note(modeler, capfd):
    capfd.readouterr()
    assert list(modeler.getModelIndexes()) == []
    assert capfd.readouterr().err == ""
    modeler.setLogLevel(2)
    assert list(modeler.getModelIndexes()) == []
    assert capfd.readouterr().err == "VelboModeler: No models. \n"


def test_set_law_counts_elements_of_every_model(current, capfd):
    m = current
    for i, (x, y) in enumerate(((0.0, 0.0), (1.0, 0.0), (0.0, 1.0)), start=1):
        assert m.addNode(i, x, y)
    assert m.addTriangle(1, 1, 2, 3)
    assert m.addTriangle(2, 1, 2, 3)
    assert m.addSection(2)
    assert m.addTriangle(3, 3, 2, 1)
    assert m.addLawParaboleRectangle(5, "C30", -17.0, -0.002, -0.0035)
    m.setLogLevel(1)
    capfd.readouterr()
    assert m.setTrianglesLaw(5)
    assert m.setCirclesLaw(-100)
    assert capfd.readouterr().err == (
        "INF: Changed nb. *3* triangles law with *C30* !!!\n"
        "INF: Changed nb. *0* circles law with *Calcestruzzo classe C20/25 secondo NTC2008* !!!\n"
    )


# ---------------------------------------------------------------- release


def test_deleting_a_modeller_releases_everything(capfd):
    before = counters()
    m = VM()
    for model in (1, 2):
        assert m.addSection(model)
        base = 10 * model
        for k, (x, y) in enumerate(((0.0, 0.0), (300.0, 0.0), (300.0, 500.0), (0.0, 500.0), (40.0, 460.0)), start=1):
            assert m.addNode(base + k, x, y)
        assert m.addTriangle(base + 1, base + 1, base + 2, base + 3)
        assert m.addTriangle(base + 2, base + 1, base + 3, base + 4)
        assert m.addCircle(base + 1, base + 5, 10.0)
        assert m.meshMake()
        assert m.meshesSliceAtYrays(vdouble([250.0]))
        assert m.buildDomain(1, 1, False)
    assert m.addLawBilinear(3, "b", 400.0, 2e5, 0.01)
    assert m.addLawParaboleRectangle(4, "p", -20.0, -0.002, -0.0035)
    assert m.setCirclesLaw(3) and m.setTrianglesLaw(4)
    # Results held by Python are copies of their own.
    nodes = m.getNodesAtMesh(0)
    circles = m.getCircles()
    during = counters()
    assert all(during[name] > before[name] for name in COUNTERS)
    del nodes, circles
    m.setLogLevel(1)
    alive = counters()
    capfd.readouterr()
    del m
    after = counters()
    assert after == before
    assert capfd.readouterr().err == (
        "Deleting VelboModeler ...\n"
        + DASHES
        + "      before garbage      \n"
        + DASHES
        + "\n"
        + info_counts(alive)
        + "Deleting VelboModeler ...\n"
        + DASHES
        + "      after deleting      \n"
        + DASHES
        + "\n"
        + info_counts(after)
    )


def test_deleting_at_level_zero_is_silent(capfd):
    m = VM()
    assert m.addSection(1)
    capfd.readouterr()
    del m
    gc.collect()
    out = capfd.readouterr()
    assert (out.out, out.err) == ("", "")


# Methods that need a current model, with what they give without one.
NEEDS_CURRENT = [
    ("setCurrent", (1,), False),
    ("getCurrentType", (), ""),
    ("sectionRotate", (90.0, 0.0, 0.0), None),
    ("nodesSize", (), -1),
    ("addNode", (1, 0.0, 0.0), False),
    ("getNodesCoords", (), vm.MIntVDouble),
    ("getNodes", (), vm.MapNodes),
    ("addTriangle", (-1, 1, 2, 3), False),
    ("trianglesSize", (), -1),
    ("getTrianglesIds", (), vm.MIntVInt),
    ("getTrianglesCoords", (), vm.MIntVDouble),
    ("addCircle", (-1, 1, 1.0), False),
    ("circlesSize", (), -1),
    ("getCirclesIds", (), vm.MIntVInt),
    ("getCirclesRadius", (), vm.MIntVDouble),
    ("getCircles", (), vm.MapCircles),
]


@pytest.mark.parametrize("name, args, failure", NEEDS_CURRENT, ids=[c[0] for c in NEEDS_CURRENT])
def test_without_current_model(modeler, capfd, name, args, failure):
    assert modeler.addSection(1, False)
    capfd.readouterr()
    result = getattr(modeler, name)(*args)
    assert capfd.readouterr().err == "ERR: None model current yet.\n"
    if isinstance(failure, type):
        assert type(result) is failure and len(result) == 0
    else:
        assert result == failure and type(result) is type(failure)


def test_laws_and_radius_need_no_current_model(modeler, capfd):
    m = modeler
    capfd.readouterr()
    assert m.addLawBilinear(1, "b", 400.0, 2e5, 0.01) is True
    assert m.addLawParaboleRectangle(2, "p", -20.0, -0.002, -0.0035) is True
    assert m.setCirclesLaw(1) is True
    assert m.setTrianglesLaw(2) is True
    assert capfd.readouterr().err == ""
    assert m.addLawBilinear(1, "again", 1.0, 1.0, 1.0) is False
