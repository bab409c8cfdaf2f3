#include "velbocore/velbomeshgroup.h"

VelboMeshGroup::VelboMeshGroup(const std::vector<VelboMesh*>& meshes, VelboSectionModel* model)
    : m_meshes(meshes),
      m_model(model)
{
}
