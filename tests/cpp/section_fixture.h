#pragma once

#include <memory>
#include <vector>

#include "velbocore/velbocircle.h"
#include "velbocore/velbocostitutivelaw.h"
#include "velbocore/velbomesh.h"
#include "velbocore/velbonode2d.h"
#include "velbocore/velbosectionmodel.h"
#include "velbocore/velbotriangle.h"

// A section model with the nodes, elements and laws it points to. The test
// owns everything, as the facade does, and releases the model's current
// meshes before the model.
struct SectionFixture {
    std::vector<std::unique_ptr<VelboCostitutiveLaw>> laws;
    std::vector<std::unique_ptr<VelboNode2D>> nodes;
    std::vector<std::unique_ptr<VelboSectionElement>> elements;
    std::unique_ptr<VelboSectionModel> model;
    int nextNodeId = 1;
    // Ids of elements made without one: 0, or 1, 2, ... in order of making.
    bool numberElements = false;

    static constexpr int kNextId = -1;

    explicit SectionFixture(int id = 1) : model(new VelboSectionModel(id)) {}
    SectionFixture(const SectionFixture&) = delete;
    SectionFixture& operator=(const SectionFixture&) = delete;

    ~SectionFixture()
    {
        deleteMeshes();
        model.reset();
    }

    void deleteMeshes()
    {
        for (int i = 0; i < model->meshesSize(); ++i) {
            delete model->meshAt(i);
        }
    }

    const VelboCostitutiveLaw* own(VelboCostitutiveLaw* law)
    {
        laws.emplace_back(law);
        return law;
    }

    // A node of this model (addToModel false: a node the model does not list).
    VelboNode2D* node(double x, double y, bool addToModel = true)
    {
        nodes.emplace_back(new VelboNode2D(x, y, nextNodeId++));
        if (addToModel) {
            model->sectionAddNode(nodes.back().get());
        }
        return nodes.back().get();
    }

    VelboTriangle* triangle(VelboNode2D* p1, VelboNode2D* p2, VelboNode2D* p3,
                            const VelboCostitutiveLaw* law, int id = kNextId)
    {
        VelboTriangle* t = new VelboTriangle(elementId(id));
        elements.emplace_back(t);
        t->setP1(p1);
        t->setP2(p2);
        t->setP3(p3);
        t->setCostitutiveLaw(law);
        model->sectionAddElement(t);
        return t;
    }

    VelboCircle* circle(VelboNode2D* centre, double radius, const VelboCostitutiveLaw* law,
                        int id = kNextId)
    {
        VelboCircle* c = new VelboCircle(elementId(id));
        elements.emplace_back(c);
        c->setCenter(centre);
        c->setRadius(radius);
        c->setCostitutiveLaw(law);
        model->sectionAddElement(c);
        return c;
    }

    // Rectangle [x0, x1] x [y0, y1] as two triangles.
    void rectangle(double x0, double y0, double x1, double y1, const VelboCostitutiveLaw* law)
    {
        VelboNode2D* a = node(x0, y0);
        VelboNode2D* b = node(x1, y0);
        VelboNode2D* c = node(x1, y1);
        VelboNode2D* d = node(x0, y1);
        triangle(a, b, c, law);
        triangle(a, c, d, law);
    }

    VelboCircle* bar(double x, double y, double radius, const VelboCostitutiveLaw* law)
    {
        return circle(node(x, y), radius, law);
    }

private:
    int elementId(int requested) const
    {
        if (requested != kNextId) return requested;
        return numberElements ? static_cast<int>(elements.size()) + 1 : 0;
    }
};
