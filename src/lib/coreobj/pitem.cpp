#include "coreobj/pitem.h"

void PItem::setTabRef(int tab_ref) { m_tabref = tab_ref; }

int PItem::getTabRef() const { return m_tabref; }
