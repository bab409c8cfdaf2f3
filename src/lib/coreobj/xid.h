#pragma once

// Integer identifier carried by models, nodes and elements.
class XId {
public:
    explicit XId(int id) : m_id(id) {}

    void setId(int id) { m_id = id; }
    int id() const { return m_id; }

private:
    int m_id;
};
