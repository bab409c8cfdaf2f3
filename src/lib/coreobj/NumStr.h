#pragma once

#include <ostream>
#include <string>

#include "coreobj/ppc_impl.h"

// Turns numbers, texts, booleans and vectors or matrices of numbers into
// fixed-width texts. Each object carries its own settings; class-wide
// defaults serve the static conversions and initialise new objects.
class NumStr {
public:
    enum tpFormat { F_SCIENTIFIC = 101, F_FIXED = 102 };
    enum tpAlign { A_LEFT = 111, A_RIGHT = 112 };

    // Takes the class-wide settings.
    NumStr();
    NumStr(unsigned int const& width, tpAlign const& align, unsigned int const& precision,
           tpFormat const& format);

    // Copies the class-wide settings into the object.
    void usingDefault();

    void setFormat(tpFormat const& format) { m_nformat = format; }
    void setAlign(tpAlign const& align) { m_align = align; }
    void setPrecision(unsigned int const& precision) { m_precision = precision; }
    void setWidth(unsigned int const& width) { m_width = width; }

    tpFormat format() const { return m_nformat; }
    tpAlign align() const { return m_align; }
    unsigned int precision() const { return m_precision; }
    unsigned int width() const { return m_width; }

    // Writes the settings as labelled lines.
    void print(std::ostream& os) const;

    // Restores the load-time format, alignment, precision and width;
    // the fill character is kept.
    static void resetDefault();
    // Fill character used to pad texts.
    static void setFillChar(char fill_c);

    std::string conv(double const& n_double) const;
    std::string conv(int const& n_int) const;
    std::string conv(unsigned long const& i) const;
    // Text fitted to the width; a text too long is cut and ends with t.
    std::string conv(std::string const& s, std::string const& t) const;
    // "(1)" or "(0)".
    std::string conv(bool const& b) const;

    static std::string fromDouble(double const& d);
    static std::string fromInt(int const& i);
    static std::string fromInt(unsigned long const& i);
    static std::string fromString(std::string const& s, std::string const& t);
    static std::string fromBool(bool const& b);

    // Element by element with the object's settings; integers are
    // formatted as doubles, so with the object's precision.
    VectorString conv(VectorDouble& vd) const;
    VectorString conv(vectorLong& vl) const;
    VectorString conv(vectorUlong& vu) const;
    MatrixString conv(MatrixDouble& md) const;
    MatrixString conv(matrixLong& ml) const;
    MatrixString conv(matrixUlong& mu) const;

private:
    // Number formatter: pads with spaces, A_LEFT puts the number first.
    static std::string m_conv(double const& n_double, tpFormat f, tpAlign a, unsigned int p,
                              unsigned int w);
    // Text formatter: pads with the fill character, A_LEFT puts the fill first.
    static std::string m_conv(std::string const& s, tpAlign const& a, unsigned int w,
                              std::string const& t);

    tpFormat m_nformat;
    tpAlign m_align;
    unsigned int m_precision;
    unsigned int m_width;

    static tpFormat m_nformat_s;
    static tpAlign m_align_s;
    static unsigned int m_precision_s;
    static unsigned int m_width_s;
    static char m_fill_char_s;
};
