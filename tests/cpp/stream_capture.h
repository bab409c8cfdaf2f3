#pragma once

#include <iostream>
#include <sstream>
#include <string>

// Captures what the code under test writes on std::cout, std::cerr and
// std::clog, each into its own buffer, for the lifetime of the object.
class StreamCapture {
public:
    StreamCapture()
        : m_oldOut(std::cout.rdbuf(m_out.rdbuf())),
          m_oldErr(std::cerr.rdbuf(m_err.rdbuf())),
          m_oldLog(std::clog.rdbuf(m_log.rdbuf())) {}
    ~StreamCapture() {
        std::cout.rdbuf(m_oldOut);
        std::cerr.rdbuf(m_oldErr);
        std::clog.rdbuf(m_oldLog);
    }
    StreamCapture(const StreamCapture&) = delete;
    StreamCapture& operator=(const StreamCapture&) = delete;

    std::string out() const { return m_out.str(); }
    std::string err() const { return m_err.str(); }
    std::string log() const { return m_log.str(); }
    void clear() {
        m_out.str(std::string());
        m_err.str(std::string());
        m_log.str(std::string());
    }

private:
    std::ostringstream m_out;
    std::ostringstream m_err;
    std::ostringstream m_log;
    std::streambuf* m_oldOut;
    std::streambuf* m_oldErr;
    std::streambuf* m_oldLog;
};
