"""Ctrl-C during a long domain build: SIGINT stops it within a fraction of a
second with KeyboardInterrupt, and the model is left as it was before the
call: nodes, meshes, the earlier domain and every live-instance counter."""

import os
import signal
import time

import pytest

from conftest import as_lists, counters, vdouble


def add_meshed_rectangle(m, cells):
    """300 x 500 concrete as cells x cells rectangles of two triangles, with
    three bars of radius 10 at y = 50 and three at y = 450."""
    assert m.addSection(1)
    for j in range(cells + 1):
        for i in range(cells + 1):
            assert m.addNode(1 + j * (cells + 1) + i, 300.0 * i / cells, 500.0 * j / cells)
    corner = lambda i, j: 1 + j * (cells + 1) + i  # noqa: E731
    triangle = 1
    for j in range(cells):
        for i in range(cells):
            assert m.addTriangle(triangle, corner(i, j), corner(i + 1, j), corner(i + 1, j + 1))
            assert m.addTriangle(triangle + 1, corner(i, j), corner(i + 1, j + 1), corner(i, j + 1))
            triangle += 2
    node = (cells + 1) ** 2 + 1
    for k, (x, y) in enumerate([(x, y) for y in (50.0, 450.0) for x in (50.0, 150.0, 250.0)], start=1):
        assert m.addNode(node + k, x, y)
        assert m.addCircle(k, node + k, 10.0)


def state(m):
    meshes = [
        (as_lists(m.getTrianglesCoordsAtMesh(i)), [(n.id, n.xn, n.yn) for n in m.getNodesAtMesh(i)])
        for i in range(m.meshSize())
    ]
    return as_lists(m.getNodesCoords()), meshes, list(m.fzVector()), list(m.myVector())


@pytest.fixture
def sigint_after():
    """Arms a timer that sends SIGINT to this process; gives the time it was armed."""
    old_alarm = signal.getsignal(signal.SIGALRM)
    old_int = signal.signal(signal.SIGINT, signal.default_int_handler)

    def arm(seconds):
        # The alarm's handler runs when the build asks for pending signals,
        # and sends the SIGINT that Ctrl-C would.
        signal.signal(signal.SIGALRM, lambda *_: os.kill(os.getpid(), signal.SIGINT))
        signal.setitimer(signal.ITIMER_REAL, seconds)
        return time.monotonic()

    yield arm
    signal.setitimer(signal.ITIMER_REAL, 0)
    signal.signal(signal.SIGALRM, old_alarm)
    signal.signal(signal.SIGINT, old_int)


# Five directions of 200001 strain planes over 512 triangles: some seconds of
# work on one thread, more than a second on every core.
@pytest.mark.parametrize("threads", ["1", None], ids=["one-thread", "default-threads"])
def test_sigint_stops_a_long_build_and_leaves_the_model(modeler, capfd, monkeypatch, sigint_after, threads):
    if threads is None:
        monkeypatch.delenv("VELBO_THREADS", raising=False)
    else:
        monkeypatch.setenv("VELBO_THREADS", threads)
    m = modeler
    add_meshed_rectangle(m, 16)
    assert m.buildDomain(1, 2, False)
    assert m.meshMake()
    assert m.meshesSliceAtYrays(vdouble([120.0, 300.0]))
    before = state(m)
    made = counters()
    capfd.readouterr()

    delay = 0.1
    armed = sigint_after(delay)
    with pytest.raises(KeyboardInterrupt):
        m.buildDomain(1, 200000, True)
    waited = time.monotonic() - armed - delay

    assert waited < 1.0
    assert capfd.readouterr().err.endswith(
        "ERR: Cannot build domain: interrupted\nVelboModeler::buildDomain(): end. Return false !!! \n"
    )
    assert counters() == made
    assert state(m) == before
    assert m.meshReset()  # the meshes are still the sliced ones
