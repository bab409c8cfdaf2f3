#include "coreobj/NumStr.h"

#include <ios>
#include <sstream>

NumStr::tpFormat NumStr::m_nformat_s = NumStr::F_FIXED;
NumStr::tpAlign NumStr::m_align_s = NumStr::A_RIGHT;
unsigned int NumStr::m_precision_s = 3;
unsigned int NumStr::m_width_s = 0;
char NumStr::m_fill_char_s = '.';

NumStr::NumStr()
    : m_nformat(m_nformat_s),
      m_align(m_align_s),
      m_precision(m_precision_s),
      m_width(m_width_s) {}

NumStr::NumStr(unsigned int const& width, tpAlign const& align, unsigned int const& precision,
               tpFormat const& format)
    : m_nformat(format), m_align(align), m_precision(precision), m_width(width) {}

void NumStr::usingDefault() {
    m_nformat = m_nformat_s;
    m_align = m_align_s;
    m_precision = m_precision_s;
    m_width = m_width_s;
}

void NumStr::print(std::ostream& os) const {
    os << "Precisione      : " << m_precision << "\n";
    os << "Larghezza campo : " << m_width << "\n";
    if (m_align == A_LEFT)
        os << "Allineamento    : " << "left" << "\n";
    else if (m_align == A_RIGHT)
        os << "Allineamento    : " << "right" << "\n";
    if (m_nformat == F_FIXED)
        os << "Formato         : " << "fixed" << "\n";
    else if (m_nformat == F_SCIENTIFIC)
        os << "Formato         : " << "scientific" << "\n";
}

void NumStr::resetDefault() {
    m_nformat_s = F_FIXED;
    m_align_s = A_RIGHT;
    m_precision_s = 3;
    m_width_s = 0;
}

void NumStr::setFillChar(char fill_c) {
    m_fill_char_s = fill_c;
}

std::string NumStr::conv(double const& n_double) const {
    return m_conv(n_double, m_nformat, m_align, m_precision, m_width);
}

std::string NumStr::conv(int const& n_int) const {
    return m_conv(static_cast<double>(n_int), m_nformat, m_align, 0, m_width);
}

std::string NumStr::conv(unsigned long const& i) const {
    return m_conv(static_cast<double>(i), m_nformat, m_align, 0, m_width);
}

std::string NumStr::conv(std::string const& s, std::string const& t) const {
    return m_conv(s, m_align, m_width, t);
}

std::string NumStr::conv(bool const& b) const {
    return m_conv(std::string(b ? "(1)" : "(0)"), m_align, 3, std::string());
}

std::string NumStr::fromDouble(double const& d) {
    return m_conv(d, m_nformat_s, m_align_s, m_precision_s, m_width_s);
}

std::string NumStr::fromInt(int const& i) {
    return m_conv(static_cast<double>(i), m_nformat_s, m_align_s, 0, m_width_s);
}

std::string NumStr::fromInt(unsigned long const& i) {
    return m_conv(static_cast<double>(i), m_nformat_s, m_align_s, 0, m_width_s);
}

std::string NumStr::fromString(std::string const& s, std::string const& t) {
    return m_conv(s, m_align_s, m_width_s, t);
}

std::string NumStr::fromBool(bool const& b) {
    return m_conv(std::string(b ? "(1)" : "(0)"), m_align_s, 3, std::string());
}

VectorString NumStr::conv(VectorDouble& vd) const {
    VectorString out;
    out.reserve(vd.size());
    for (const double d : vd)
        out.push_back(conv(d));
    return out;
}

VectorString NumStr::conv(vectorLong& vl) const {
    VectorDouble vd(vl.begin(), vl.end());
    return conv(vd);
}

VectorString NumStr::conv(vectorUlong& vu) const {
    VectorDouble vd(vu.begin(), vu.end());
    return conv(vd);
}

// Converts a matrix row by row with the vector conversion of its row type.
template <class Matrix, class Convert>
static MatrixString convRows(Matrix& matrix, Convert convertRow) {
    MatrixString out;
    out.reserve(matrix.size());
    for (auto& row : matrix)
        out.push_back(convertRow(row));
    return out;
}

MatrixString NumStr::conv(MatrixDouble& md) const {
    return convRows(md, [this](VectorDouble& row) { return conv(row); });
}

MatrixString NumStr::conv(matrixLong& ml) const {
    return convRows(ml, [this](vectorLong& row) { return conv(row); });
}

MatrixString NumStr::conv(matrixUlong& mu) const {
    return convRows(mu, [this](vectorUlong& row) { return conv(row); });
}

std::string NumStr::m_conv(double const& n_double, tpFormat f, tpAlign a, unsigned int p,
                           unsigned int w) {
    std::ostringstream os;
    os.precision(p);
    os.width(w);
    if (a == A_LEFT)
        os.setf(std::ios::left, std::ios::adjustfield);
    else if (a == A_RIGHT)
        os.setf(std::ios::right, std::ios::adjustfield);
    if (f == F_SCIENTIFIC)
        os.setf(std::ios::scientific, std::ios::floatfield);
    else if (f == F_FIXED)
        os.setf(std::ios::fixed, std::ios::floatfield);
    os << n_double;
    return os.str();
}

std::string NumStr::m_conv(std::string const& s, tpAlign const& a, unsigned int w,
                           std::string const& t) {
    const std::string::size_type ls = s.size();
    const std::string::size_type lt = t.size();
    if (w == 0)
        return s;
    if (w < ls) {
        if (lt > w)
            return s + t;
        return s.substr(0, w - lt) + t;
    }
    if (w == ls)
        return s;
    const std::string fill(w - ls, m_fill_char_s);
    if (a == A_LEFT)
        return fill + s;
    if (a == A_RIGHT)
        return s + fill;
    return std::string();
}
