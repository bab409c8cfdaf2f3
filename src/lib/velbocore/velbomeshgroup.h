#pragma once

#include <vector>

class VelboMesh;
class VelboSectionModel;

// A set of meshes of one section model; refers to them, owns nothing.
class VelboMeshGroup {
public:
    VelboMeshGroup(const std::vector<VelboMesh*>& meshes, VelboSectionModel* model);

private:
    std::vector<VelboMesh*> m_meshes;
    VelboSectionModel* m_model;
};
