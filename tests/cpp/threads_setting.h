#pragma once

#include <cstdlib>
#include <string>

// Sets VELBO_THREADS, the thread count of the domain build, for its
// lifetime (null: unset), then puts back what was there.
class ThreadsSetting {
public:
    explicit ThreadsSetting(const char* value)
    {
        if (const char* old = std::getenv("VELBO_THREADS")) {
            m_old = old;
            m_had = true;
        }
        if (value) {
            setenv("VELBO_THREADS", value, 1);
        } else {
            unsetenv("VELBO_THREADS");
        }
    }
    ~ThreadsSetting()
    {
        if (m_had) {
            setenv("VELBO_THREADS", m_old.c_str(), 1);
        } else {
            unsetenv("VELBO_THREADS");
        }
    }
    ThreadsSetting(const ThreadsSetting&) = delete;
    ThreadsSetting& operator=(const ThreadsSetting&) = delete;

private:
    std::string m_old;
    bool m_had = false;
};
