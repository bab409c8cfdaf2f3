#pragma once

#include <string>

// An id with a title.
class Work {
public:
    Work() = default;
    explicit Work(const std::string& title);
    Work(const std::string& title, const std::string& id);

    void title(const std::string& title) { m_title = title; }
    void id(const std::string& id) { m_Id = id; }
    std::string title() const { return m_title; }
    std::string id() const { return m_Id; }

private:
    std::string m_Id;
    std::string m_title;
};
