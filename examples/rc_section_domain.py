"""Ultimate interaction domain of a 300 x 500 reinforced-concrete section.

Concrete C20/25 and steel B450C with the design values of NTC 2008 (the
modeller's default laws), units N and mm. Three bars of diameter 20 at the
top and three at the bottom, 40 mm of cover to the bars. The section's y axis
points down: the top is the smallest y; compression is negative.
"""

import math

import velbomodeler

WIDTH, HEIGHT = 300.0, 500.0
COVER, BAR_DIAMETER = 40.0, 20.0
COLUMNS, ROWS = 3, 5  # the concrete is split into COLUMNS x ROWS rectangles, two triangles each


def build_section(modeler):
    modeler.addSection(1)
    # Concrete: a grid of nodes, each cell split into two triangles.
    node_id = {}
    next_id = 1
    for j in range(ROWS + 1):
        for i in range(COLUMNS + 1):
            modeler.addNode(next_id, WIDTH * i / COLUMNS, HEIGHT * j / ROWS)
            node_id[i, j] = next_id
            next_id += 1
    triangle = 1
    for j in range(ROWS):
        for i in range(COLUMNS):
            a, b = node_id[i, j], node_id[i + 1, j]
            c, d = node_id[i + 1, j + 1], node_id[i, j + 1]
            modeler.addTriangle(triangle, a, b, c)
            modeler.addTriangle(triangle + 1, a, c, d)
            triangle += 2
    # Bars: centres at cover + radius from the faces.
    offset = COVER + BAR_DIAMETER / 2
    xs = (offset, WIDTH / 2, WIDTH - offset)
    circle = 1
    for y in (offset, HEIGHT - offset):
        for x in xs:
            modeler.addNode(next_id, x, y)
            modeler.addCircle(circle, next_id, BAR_DIAMETER / 2)
            next_id += 1
            circle += 1


def print_outline(title, polygon, columns=3):
    """Prints the (Mx, My) outline of a cut at constant Fz, in kNm, by increasing angle."""
    values = list(polygon)
    triples = [values[k:k + 3] for k in range(0, len(values), 3)]
    print(f"\n{title}")
    if len(triples) < 2:
        print("  (no outline)")
        return
    centre, ring = triples[0], triples[1:-1]  # the last triple closes the ring
    print(f"  {len(ring)} points around the centre "
          f"(Mx = {centre[1] / 1e6:.2f} kNm, My = {centre[2] / 1e6:.2f} kNm)")
    header = "  ".join(f"{'#':>4} {'Mx [kNm]':>9} {'My [kNm]':>9}" for _ in range(columns))
    print("  " + header)
    rows = (len(ring) + columns - 1) // columns
    for r in range(rows):
        cells = []
        for c in range(columns):
            k = c * rows + r
            if k < len(ring):
                _, mx, my = ring[k]
                cells.append(f"{k:4d} {mx / 1e6:9.2f} {my / 1e6:9.2f}")
        print("  " + "  ".join(cells))


def main():
    modeler = velbomodeler.VelboModeler()
    build_section(modeler)

    print("Section 300 x 500, concrete C20/25, 3+3 bars diameter 20 (B450C)")
    print(f"  triangles: {modeler.trianglesSize()}   bars: {modeler.circlesSize()}")
    concrete = modeler.calcSolidBarycenter()
    bars = modeler.calcPointBarycenter(True)
    print(f"  concrete area  Ac = {modeler.calcSolidArea():10.1f} mm2"
          f"   barycentre ({concrete.xn:.1f}, {concrete.yn:.1f})")
    print(f"  steel area     As = {modeler.calcPointArea():10.1f} mm2"
          f"   barycentre ({bars.xn:.1f}, {bars.yn:.1f})")
    modeler.setNCoeff(15)
    ideal = modeler.calcIdealBarycenter()
    print(f"  ideal area (n = 15) = {modeler.calcIdealArea():8.1f} mm2"
          f"   barycentre ({ideal.xn:.1f}, {ideal.yn:.1f})")

    if not modeler.buildDomain(18, 50, False):
        raise SystemExit("the interaction domain could not be built")
    points = len(modeler.fzVector())
    fz_min, fz_max, mx_min, mx_max, my_min, my_max = modeler.domainBounding()
    print(f"\nInteraction domain: {points} points (73 directions x 51 strain planes)")
    print(f"  Fz  from {fz_min / 1e3:10.1f} kN   to {fz_max / 1e3:10.1f} kN")
    print(f"  Mx  from {mx_min / 1e6:10.2f} kNm  to {mx_max / 1e6:10.2f} kNm")
    print(f"  My  from {my_min / 1e6:10.2f} kNm  to {my_max / 1e6:10.2f} kNm")

    print_outline("Cut at Fz = 0 (pure bending):", modeler.intersectAtXDir(0.0))
    fz = -1000e3
    print_outline(f"Cut at Fz = {fz / 1e3:.0f} kN (compression):", modeler.intersectAtXDir(fz))


if __name__ == "__main__":
    main()
