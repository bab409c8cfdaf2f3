#pragma once

#include <string>

// Interface of an object carrying an integer flag with text lookups.
// The flag's names, descriptions and parsing are left to the implementation.
class Flag {
public:
    // Text format asked of a flag description.
    enum TextFormat : int {
        TEXT_FORMAT_UNKNOWN = 0,
        TEXT_FORMAT_HTML = 1,
        TEXT_FORMAT_KML = 2,
        TEXT_FORMAT_PLAIN = 3,
        TEXT_FORMAT_TEX = 4
    };

    virtual void setFlag(int const& flag) = 0;
    virtual bool setFlag(std::string const& flag) = 0;
    virtual std::string getFlagStr(int i) const = 0;
    virtual std::string getFlagDescription(TextFormat format, int i) const = 0;
    virtual int getFlagSize() const = 0;

    virtual int getFlag() const;
    virtual bool isSetFlag() const;

protected:
    // Not deletable through a base pointer: the destructor is not virtual.
    ~Flag() = default;

    virtual std::string flagLookStr(int i) const;
    virtual std::string flagLookDescription(int i, TextFormat format) const;

    int m_intflag = 0;
    bool m_set = false;
};
