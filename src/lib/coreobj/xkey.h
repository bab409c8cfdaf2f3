#pragma once

#include <string>

// Stand-alone key-and-description record.
class XKey {
public:
    XKey() = default;
    explicit XKey(const std::string& key) : m_key(key) {}
    XKey(const std::string& key, const std::string& description)
        : m_key(key), m_description(description) {}

    void setXkey(const std::string& key);
    std::string getXkey() const;
    void setXdescription(const std::string& description);
    std::string getXdescription() const;

private:
    std::string m_key;
    std::string m_description;
};
