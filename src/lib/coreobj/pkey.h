#pragma once

#include <string>

// Key text with a description. Neither text is checked: empty texts are kept.
class PKey {
public:
    PKey() = default;
    explicit PKey(const std::string& key) : m_key(key) {}
    PKey(const std::string& key, const std::string& descr) : m_key(key), m_descr(descr) {}

    std::string getKeyStr() const;
    std::string getDescr() const;

    bool isKeyStr() const;
    bool isDescr() const;
    // True when the key carries neither a key text nor a description.
    bool isEmpty() const;

    void setKeyStr(const std::string& key);
    // Takes only the key text of `key`; the description stays.
    void setKeyStr(const PKey& key);
    void setDescr(const std::string& descr);
    // Takes only the description of `key`; the key text stays.
    void setDescr(const PKey& key);

private:
    std::string m_key;
    std::string m_descr;
};
