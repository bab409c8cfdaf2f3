#include "coreobj/PTime.h"

#include <ctime>

#include "coreobj/NumStr.h"

PTime::PTime() {
    Now();
}

PTime::PTime(int hour, int min, int sec, int day, int mon, int year, long time)
    : m_hour(hour), m_min(min), m_sec(sec), m_day(day), m_mon(mon), m_year(year), m_time(time) {}

void PTime::Now() {
    const std::time_t t = std::time(nullptr);
    m_time = static_cast<long>(t);
    const std::tm* local = std::localtime(&t);
    if (local == nullptr)
        return;  // time not representable: keep the broken-down fields
    m_hour = local->tm_hour;
    m_min = local->tm_min;
    m_sec = local->tm_sec;
    m_day = local->tm_mday;
    m_mon = local->tm_mon + 1;
    m_year = local->tm_year + 1900;
}

std::string PTime::StrTime() const {
    const NumStr ns;
    std::string sec = ns.conv(m_sec);
    if (sec.size() == 1)
        sec = "0" + sec;
    return ns.conv(m_hour) + ":" + ns.conv(m_min) + ":" + sec;
}

std::string PTime::StrDate() const {
    const NumStr ns;
    return ns.conv(m_day) + "/" + ns.conv(m_mon) + "/" + ns.conv(m_year);
}

std::string PTime::Str() const {
    const NumStr ns;
    return ns.conv(m_hour) + ":" + ns.conv(m_min) + ":" + ns.conv(m_sec) + " - " +
           ns.conv(m_day) + "/" + ns.conv(m_mon) + "/" + ns.conv(m_year);
}
