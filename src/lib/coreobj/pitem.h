#pragma once

// Table reference of a keyed item: the registry id of a keyed list.
class PItem {
public:
    PItem() = default;
    explicit PItem(int tab_ref) : m_tabref(tab_ref) {}

    void setTabRef(int tab_ref);
    int getTabRef() const;

private:
    int m_tabref = 0;
};
