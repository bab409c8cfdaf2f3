"""A seeded random run of container operations and modeller calls, valid and
invalid, that keeps what comes out of containers and modellers across the
deletion of their owners.

Containers are filled with elements made from int marks. A model made of
Python lists and dicts says what every container and every object taken out
of one must read at every step: a proxy follows its element while the
element is in its container and keeps the element's last value once it is
removed or replaced, as the objects a Python list or dict holds would. The
modeller results are kept and used at random, also after their modeller is
gone. The run ends with every live-instance counter back where it started
(at 0 when run alone) once everything is dropped; in the sanitizer build any
stray memory access stops it.

SEED and STEPS are fixed, so a failure reproduces; the step and the
operation that failed are in the assertion message."""

import gc
import random

import pytest

import velbomodeler as vm
from conftest import counters, vdouble

SEED = 20240909
STEPS = 5000
# Containers in use at a time: few, so that they grow and their proxies meet.
HOLDERS = 8


# ---------------------------------------------------------------- elements


def vint(values):
    v = vm.VInt()
    v.extend(values)
    return v


def node(mark):
    return vm.VelboNode2D(float(mark), 0.5, mark)


def triangle(mark):
    t = vm.VelboTriangle(mark)
    t.p1 = node(mark)
    return t


def circle(mark):
    c = vm.VelboCircle(mark)
    c.radius = 1.5
    return c


def get_id(e):
    return e.id


def set_id(e, mark):
    e.id = mark


def get_first(e):
    return int(e[0])


def set_first(e, mark):
    e[0] = mark


# class: make(mark), read(element) -> mark, write(proxy, mark) or None,
# make a value of another type
VECTOR_KINDS = {
    vm.VInt: (lambda m: m, lambda e: e, None, lambda: "x"),
    vm.VDouble: (lambda m: m + 0.25, lambda e: int(e - 0.25), None, lambda: None),
    vm.VFloat: (lambda m: m + 0.5, lambda e: int(e - 0.5), None, vm.VelboNode2D),
    vm.VVDouble: (lambda m: vdouble([m, 0.5]), get_first, set_first, lambda: vint([1])),
    vm.VecNodes: (node, get_id, set_id, lambda: 1.5),
    vm.VecTriangles: (triangle, get_id, set_id, vm.VelboCircle),
    vm.VecCircles: (circle, get_id, set_id, vm.VelboTriangle),
}
MAP_KINDS = {
    vm.MIntVInt: (lambda m: vint([m, 7]), get_first, set_first, lambda: vdouble([1])),
    vm.MIntVDouble: (lambda m: vdouble([m]), get_first, set_first, lambda: 2.5),
    vm.MapNodes: (node, get_id, set_id, vm.VelboCircle),
    vm.MapTriangles: (triangle, get_id, set_id, lambda: node(1)),
    vm.MapCircles: (circle, get_id, set_id, lambda: "c"),
}


class Holder:
    """A container and its model: marks, and for vectors one token per
    element that tells where each element went after a change."""

    def __init__(self, cls, obj):
        self.cls = cls
        self.obj = obj  # None once dropped: only its proxies hold it then
        self.is_map = cls in MAP_KINDS
        self.make, self.read, self.write, self.bad = (MAP_KINDS if self.is_map else VECTOR_KINDS)[cls]
        self.copies = cls is vm.MapNodes
        self.marks = {} if self.is_map else []
        self.tokens = []


class Taken:
    """An object taken out of a container: attached to its holder at a
    position or key, or detached with a mark of its own."""

    def __init__(self, obj, holder, where):
        self.obj = obj
        self.holder = holder
        self.where = where
        self.attached = holder.write is not None and not holder.copies
        self.mark = None if self.attached else holder.marks[where]

    def expected(self):
        return self.holder.marks[self.where] if self.attached else self.mark


class Run:
    def __init__(self, seed):
        self.rng = random.Random(seed)
        self.holders = []  # containers still usable
        self.taken = {}  # id(obj) -> Taken, one per object
        self.iterators = []  # [holder, python iterator, model state]
        self.modellers = []
        self.results = []  # modeller results and what came out of them
        self.step = 0
        self.what = ""

    # ------------------------------------------------------------ helpers

    def check(self, condition, detail=""):
        assert condition, "step %d: %s %s" % (self.step, self.what, detail)

    def mark(self):
        return self.rng.randrange(-50, 1000)

    def holder(self, maps=None):
        pool = [h for h in self.holders if maps is None or h.is_map == maps]
        return self.rng.choice(pool) if pool else None

    def new_holder(self, cls=None):
        cls = cls or self.rng.choice(list(VECTOR_KINDS) + list(MAP_KINDS))
        h = Holder(cls, cls())
        self.holders.append(h)
        return h

    def track(self, obj, holder, where):
        """Records an object handed out by the holder; the same proxy object
        handed out twice is one record."""
        record = self.taken.get(id(obj))
        if record is not None and record.obj is obj:
            self.check(record.attached and record.holder is holder and record.where == where, "proxy identity")
            return record
        record = Taken(obj, holder, where)
        self.taken[id(obj)] = record
        return record

    def verify_holder(self, h):
        if h.obj is None:
            return
        if h.is_map:
            self.check(len(h.obj) == len(h.marks), "map length")
            actual = {k: h.read(h.obj[k]) for k in h.marks}
            self.check(actual == h.marks, "map contents %r != %r" % (actual, h.marks))
        else:
            self.check([h.read(e) for e in h.obj] == h.marks, "vector contents")

    def verify_taken(self, record):
        self.check(record.holder.read(record.obj) == record.expected(), "taken object")

    def vector_change(self, h, change):
        """Applies change(seq, item) to the vector, to its marks and to its
        tokens; the error a list raises must be the vector's too. Then moves
        or detaches the vector's proxies as the tokens went."""
        marks = list(h.marks)
        try:
            change(marks, lambda m: m)
            error = None
        except (IndexError, ValueError, TypeError) as e:
            error = type(e)
        before_marks, before_tokens = list(h.marks), list(h.tokens)
        try:
            change(h.obj, h.make)
            raised = None
        except (IndexError, ValueError, TypeError) as e:
            raised = type(e)
        self.check(raised is error, "raised %r, a list raises %r" % (raised, error))
        if error is not None:
            return
        change(h.tokens, lambda m: object())
        h.marks = marks
        where = {id(t): i for i, t in enumerate(h.tokens)}
        for record in self.taken.values():
            if record.holder is h and record.attached:
                moved = where.get(id(before_tokens[record.where]))
                if moved is None:
                    record.attached = False
                    record.mark = before_marks[record.where]
                else:
                    record.where = moved
        self.verify_holder(h)

    def map_keys_changed(self, h):
        """A key added or removed: the map's unfinished iterators raise from now on."""
        for holder, _, state in self.iterators:
            if holder is h and holder.is_map:
                state["keys"] = True

    def map_detach(self, h, key):
        for record in self.taken.values():
            if record.holder is h and record.attached and record.where == key:
                record.attached = False
                record.mark = h.marks[key]

    def index(self, h):
        n = len(h.marks)
        return self.rng.randint(-n - 2, n + 1)

    def slice(self, h):
        n = len(h.marks)
        bound = lambda: self.rng.choice([None, self.rng.randint(-n - 2, n + 2)])  # noqa: E731
        return slice(bound(), bound(), self.rng.choice([None, None, 1, 2, -1, -2, 3]))

    # ------------------------------------------------------------ vector operations

    def op_vector(self):
        h = self.holder(maps=False) or self.new_holder(self.rng.choice(list(VECTOR_KINDS)))
        rng = self.rng
        choice = rng.randrange(14)
        if choice == 0:
            m = self.mark()
            self.what = "append"
            self.vector_change(h, lambda s, item: s.append(item(m)))
        elif choice == 1:
            ms = [self.mark() for _ in range(rng.randrange(6))]
            self.what = "extend"
            self.vector_change(h, lambda s, item: s.extend(item(m) for m in ms))
        elif choice == 2:
            i, m = self.index(h), self.mark()
            self.what = "v[%d] = x" % i
            self.vector_change(h, lambda s, item: s.__setitem__(i, item(m)))
        elif choice == 3:
            i = self.index(h)
            self.what = "del v[%d]" % i
            self.vector_change(h, lambda s, item: s.__delitem__(i))
        elif choice == 4:
            sl = self.slice(h)
            self.what = "del v[%r]" % sl
            self.vector_change(h, lambda s, item: s.__delitem__(sl))
        elif choice == 5:
            sl = self.slice(h)
            size = len(range(*sl.indices(len(h.marks))))
            ms = [self.mark() for _ in range(size if rng.random() < 0.7 else rng.randrange(4))]
            self.what = "v[%r] = %d items" % (sl, len(ms))
            self.vector_change(h, lambda s, item: s.__setitem__(sl, [item(m) for m in ms]))
        elif choice in (6, 7):
            i = self.index(h)
            self.what = "v[%d]" % i
            n = len(h.marks)
            if -n <= i < n:
                e = h.obj[i]
                if h.write:
                    self.verify_taken(self.track(e, h, i % n))
                else:
                    self.check(h.read(e) == h.marks[i])
            else:
                with pytest.raises(IndexError):
                    h.obj[i]
        elif choice == 8:
            sl = self.slice(h)
            self.what = "v[%r]" % sl
            part = h.obj[sl]
            self.check(type(part) is h.cls)
            copy = Holder(h.cls, part)
            copy.marks = h.marks[sl]
            copy.tokens = [object() for _ in copy.marks]
            self.verify_holder(copy)
            if len(self.holders) < HOLDERS:
                self.holders.append(copy)
        elif choice == 9:
            self.what = "wrong type"
            bad = h.bad()
            if bad is not None:
                for call in (lambda: h.obj.append(bad), lambda: h.obj.extend([h.make(1), bad])):
                    with pytest.raises(TypeError):
                        call()
                if h.marks:
                    with pytest.raises(TypeError):
                        h.obj[0] = bad
            self.verify_holder(h)
        elif choice == 10:
            self.what = "in"
            # Membership compares whole values: an element is in, a mark that
            # no element carries is not.
            if h.marks:
                self.check(h.obj[rng.randrange(len(h.marks))] in h.obj)
            m = self.mark()
            if m not in h.marks:
                self.check(h.make(m) not in h.obj)
        elif choice == 11:
            self.what = "iter"
            self.iterators.append([h, iter(h.obj), {"index": 0, "done": False}])
        elif choice == 12:
            self.what = "loop"
            # Changes made while looping act as on a list: the loop goes by index.
            for i, e in enumerate(h.obj):
                self.check(h.read(e) == h.marks[i], "loop item %d" % i)
                if i == 1:
                    self.vector_change(h, lambda s, item: s.append(item(5)))
                if i == 2 and len(h.marks) > 1:
                    self.vector_change(h, lambda s, item: s.__delitem__(0))
                if i > 40:
                    break
        elif len(self.holders) < HOLDERS:
            self.what = "new vector"
            self.new_holder(rng.choice(list(VECTOR_KINDS)))

    # ------------------------------------------------------------ map operations

    def op_map(self):
        h = self.holder(maps=True) or self.new_holder(self.rng.choice(list(MAP_KINDS)))
        rng = self.rng
        key = rng.randrange(-3, 12)
        choice = rng.randrange(11)
        if choice in (0, 1):
            m = self.mark()
            self.what = "m[%d] = x" % key
            h.obj[key] = h.make(m)
            if key in h.marks:
                self.map_detach(h, key)
            else:
                self.map_keys_changed(h)
            h.marks[key] = m
        elif choice == 2:
            self.what = "del m[%d]" % key
            if key in h.marks:
                del h.obj[key]
                self.map_detach(h, key)
                self.map_keys_changed(h)
                del h.marks[key]
            else:
                with pytest.raises(KeyError):
                    del h.obj[key]
        elif choice in (3, 4):
            self.what = "m[%d]" % key
            if key in h.marks:
                self.verify_taken(self.track(h.obj[key], h, key))
            else:
                with pytest.raises(KeyError):
                    h.obj[key]
        elif choice == 5:
            self.what = "in"
            self.check((key in h.obj) == (key in h.marks))
        elif choice == 6:
            self.what = "wrong key or value"
            for call, error in (
                (lambda: h.obj["1"], TypeError),
                (lambda: h.obj.__setitem__(1.0, h.make(1)), TypeError),
                (lambda: h.obj.__setitem__(1, h.bad()), TypeError),
                (lambda: h.obj[0:1], RuntimeError),
            ):
                with pytest.raises(error):
                    call()
        elif choice in (7, 8):
            self.what = "iter"
            state = {"keys": False, "last": None, "done": False, "changed": False}
            self.iterators.append([h, iter(h.obj), state])
        elif choice == 9:
            self.what = "entries"
            for e in h.obj:
                self.check(h.read(e.data()) == h.marks[e.key()])
                self.track(e.data(), h, e.key())
        elif len(self.holders) < HOLDERS:
            self.what = "new map"
            self.new_holder(rng.choice(list(MAP_KINDS)))

    # ------------------------------------------------------------ iterators and taken objects

    def op_iterator(self):
        if not self.iterators:
            return
        entry = self.rng.choice(self.iterators)
        h, it, state = entry
        self.what = "next"
        if not h.is_map:
            if state["done"] or state["index"] >= len(h.marks):
                state["done"] = True
                with pytest.raises(StopIteration):
                    next(it)
                return
            e = next(it)
            i = state["index"]
            state["index"] += 1
            if h.write:
                self.verify_taken(self.track(e, h, i))
            else:
                self.check(h.read(e) == h.marks[i])
            return
        if state["changed"] or (not state["done"] and state["keys"]):
            state["changed"] = True
            with pytest.raises(RuntimeError):
                next(it)
            return
        later = sorted(k for k in h.marks if state["last"] is None or k > state["last"])
        if state["done"] or not later:
            state["done"] = True
            with pytest.raises(StopIteration):
                next(it)
            return
        e = next(it)
        self.check(e.key() == later[0], "entry key")
        state["last"] = later[0]
        self.verify_taken(self.track(e.data(), h, e.key()))

    def op_taken(self):
        if not self.taken:
            return
        record = self.rng.choice(list(self.taken.values()))
        choice = self.rng.randrange(3)
        self.what = "taken"
        self.verify_taken(record)
        if choice == 0 and record.holder.write is not None:
            m = self.mark()
            record.holder.write(record.obj, m)
            if record.attached:
                record.holder.marks[record.where] = m
                self.verify_holder(record.holder)
            else:
                record.mark = m
            self.verify_taken(record)
        elif choice == 1:
            del self.taken[id(record.obj)]

    def op_drop(self):
        choice = self.rng.randrange(4)
        if choice == 0 and self.holders:
            h = self.holders.pop(self.rng.randrange(len(self.holders)))
            self.iterators = [e for e in self.iterators if e[0] is not h]
            h.obj = None
        elif choice == 1 and self.iterators:
            self.iterators.pop(self.rng.randrange(len(self.iterators)))
        elif choice == 2 and self.results:
            self.results.pop(self.rng.randrange(len(self.results)))
        elif self.modellers:
            self.modellers.pop(self.rng.randrange(len(self.modellers)))

    # ------------------------------------------------------------ modellers

    def op_modeller(self):
        rng = self.rng
        if not self.modellers or (len(self.modellers) < 3 and rng.random() < 0.05):
            self.modellers.append(vm.VelboModeler())
            if rng.random() < 0.9:
                self.modellers[-1].addSection(1)
                self.section(self.modellers[-1], 0)
        m = rng.choice(self.modellers)
        nid = lambda: rng.randrange(-2, 45)  # noqa: E731
        calls = [
            lambda: m.addSection(rng.randrange(-1, 4), rng.random() < 0.7),
            lambda: self.section(m, 10 * rng.randrange(5)),
            lambda: m.addSection(rng.randrange(-1, 4), rng.random() < 0.7),
            lambda: m.setCurrent(rng.randrange(-1, 4)),
            lambda: m.addNode(nid(), rng.uniform(-300, 300), rng.uniform(-300, 300)),
            lambda: m.addNode(nid(), rng.uniform(-300, 300), rng.uniform(-300, 300)),
            lambda: m.addTriangle(rng.randrange(-1, 12), nid(), nid(), nid()),
            lambda: m.addCircle(rng.randrange(-1, 12), nid(), rng.choice([-1.0, 0.0, 5.0, 10.0])),
            lambda: m.setNodeX(nid(), rng.uniform(-300, 300)),
            lambda: m.setNodeY(nid(), rng.uniform(-300, 300)),
            lambda: m.setCircleRadius(rng.randrange(-1, 12), rng.uniform(-5, 20)),
            lambda: m.sectionRotate(rng.choice([90.0, 33.0]), 0.0, 0.0),
            lambda: m.meshMake(),
            lambda: m.meshReset(),
            lambda: m.meshesSliceAtYrays(vdouble([rng.uniform(-300, 300)])),
            lambda: m.meshesSliceAtRays(self.rays()),
            lambda: m.buildDomain(*rng.choice([(1, 1), (1, 2), (0, 1), (1, -1), (2**31 - 1, 2**31 - 1)]),
                                  rng.random() < 0.5),
            lambda: m.setTrianglesLaw(rng.choice([-100, -200, 5])),
            lambda: m.addLawBilinear(rng.randrange(0, 4), "b", 400.0, 2e5, 0.01),
            lambda: m.setNCoeff(rng.choice([1.0, 15.0])),
            lambda: m.calcIdealAreaProperties().area,
            lambda: m.calcPointBarycenter(True).xn,
            lambda: m.getNodeX(nid()),
        ]
        results = [
            m.getModelIndexes,
            m.getNodes,
            m.getNodesCoords,
            m.getTrianglesIds,
            m.getTrianglesCoords,
            m.getCirclesIds,
            m.getCirclesRadius,
            m.getCircles,
            m.fzVector,
            m.domainBounding,
            lambda: m.intersectAtXDir(0.0),
            lambda: m.getNodesAtMesh(rng.randrange(-1, 3)),
            lambda: m.getTrianglesIdsAtMesh(rng.randrange(-1, 3)),
            lambda: m.getCirclesAtMesh(rng.randrange(-1, 3)),
        ]
        if rng.random() < 0.6:
            call = rng.choice(calls)
            self.what = "modeller call"
            try:
                call()
            except RuntimeError:  # getNodeX of a missing node
                pass
        else:
            self.what = "modeller result"
            self.results.append(rng.choice(results)())

    def section(self, m, base):
        """A rectangle of two triangles with two bars, ids from base up;
        parts whose ids are taken are refused."""
        w, h = self.rng.uniform(100, 400), self.rng.uniform(100, 600)
        for k, (x, y) in enumerate(((0, 0), (w, 0), (w, h), (0, h), (20, h - 20), (w - 20, h - 20)), start=1):
            m.addNode(base + k, x, y)
        m.addTriangle(base + 1, base + 1, base + 2, base + 3)
        m.addTriangle(base + 2, base + 1, base + 3, base + 4)
        m.addCircle(base + 1, base + 5, 8.0)
        m.addCircle(base + 2, base + 6, 8.0)

    def rays(self):
        rows = vm.VVDouble()
        for _ in range(self.rng.randrange(3)):
            rows.append(vdouble([0.0, 1.0, self.rng.uniform(-300, 300)][: self.rng.choice([2, 3, 3])]))
        return rows

    def op_result(self):
        """Uses a kept modeller result or something taken out of one."""
        if not self.results:
            return
        rng = self.rng
        obj = rng.choice(self.results)
        self.what = "result %s" % type(obj).__name__
        if isinstance(obj, (vm.VelboNode2D,)):
            obj.xn = obj.xn + 1.0
        elif isinstance(obj, vm.VelboCircle):
            centre = obj.center
            obj.center = vm.VelboNode2D(centre.xn + 1.0, centre.yn, centre.id)
            self.check(obj.center.xn == centre.xn + 1.0)
        elif isinstance(obj, (vm.VInt, vm.VDouble, vm.VFloat)):
            values = list(obj)
            if values and rng.random() < 0.5:
                del obj[rng.randrange(len(values))]
            elif isinstance(obj, vm.VInt):
                obj.append(3)
            else:
                obj.append(0.5)
        elif isinstance(obj, (vm.VecNodes, vm.VecCircles)):
            if len(obj):
                self.results.append(obj[rng.randrange(len(obj))])
                if rng.random() < 0.3:
                    del obj[0]
        else:  # a map
            keys = [e.key() for e in obj]
            if keys:
                key = rng.choice(keys)
                self.results.append(obj[key])
                if rng.random() < 0.3:
                    self.results.append(next(iter(obj)).data())
                    del obj[key]

    def drop_owners(self):
        """Drops the containers and modellers first, so that what was taken
        out of them is the last to hold them; all of it must still read as
        the model says."""
        self.what = "owners dropped"
        self.modellers.clear()
        self.holders.clear()
        self.iterators.clear()
        gc.collect()
        for record in self.taken.values():
            self.verify_taken(record)
        for obj in self.results:
            if isinstance(obj, vm.VelboCircle):
                self.check(obj.center.id == obj.center.id)

    # ------------------------------------------------------------ the run

    def run(self, steps):
        ops = [
            (self.op_vector, 30),
            (self.op_map, 22),
            (self.op_iterator, 10),
            (self.op_taken, 12),
            (self.op_drop, 6),
            (self.op_modeller, 20),
            (self.op_result, 6),
        ]
        functions = [f for f, _ in ops]
        weights = [w for _, w in ops]
        for self.step in range(steps):
            self.rng.choices(functions, weights)[0]()
        self.what = "final check"
        for h in self.holders:
            self.verify_holder(h)
        for record in self.taken.values():
            self.verify_taken(record)


def test_random_use_ends_with_nothing_alive():
    # Zero when the test runs alone; other test modules may keep a few
    # objects of their own for the whole session.
    start = counters()
    run = Run(SEED)
    run.run(STEPS)
    run.drop_owners()
    del run
    gc.collect()
    assert counters() == start
