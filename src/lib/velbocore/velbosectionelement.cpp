#include "velbocore/velbosectionelement.h"

VelboSectionElement::VelboSectionElement(int id)
    : VelboSectionObj(id),
      m_law(nullptr),
      m_firstEdge(nullptr),
      m_mesh(nullptr),
      m_nextElement(nullptr),
      m_beforeElement(nullptr)
{
}

VelboSectionElement::~VelboSectionElement() = default;

int VelboSectionElement::typeOfStruObject() const
{
    return OBJ_ELEMENT;
}

VelboMesh* VelboSectionElement::meshMake()
{
    return nullptr;
}

VelboSectionElement* VelboSectionElement::setNextElement(VelboSectionElement* nextElement)
{
    m_nextElement = nextElement;
    return nextElement;
}

VelboSectionElement* VelboSectionElement::setBeforeElement(VelboSectionElement* beforeElement)
{
    m_beforeElement = beforeElement;
    return beforeElement;
}
