#pragma once

#include <string>

// Person-like record: an id, a name and a surname.
class Comm {
public:
    Comm() = default;
    Comm(const std::string& name, const std::string& surname);
    Comm(const std::string& name, const std::string& surname, const std::string& id);

    std::string Id() const { return m_Id; }
    std::string Name() const { return m_Name; }
    std::string Surname() const { return m_Surname; }
    void Id(const std::string& id) { m_Id = id; }
    void Name(const std::string& name) { m_Name = name; }
    void Surname(const std::string& surname) { m_Surname = surname; }

    // Surname followed by name, or whichever of the two is present.
    std::string buildSignature() const;
    // True when id and surname are both empty.
    bool isEmpty() const;
    void setEmpty();

private:
    std::string m_Id;
    std::string m_Name;
    std::string m_Surname;
};
