#pragma once

#include <string>

// Local date-and-time stamp. The broken-down fields and the calendar time
// are independent once set: no setter normalises, checks or recomputes.
class PTime {
public:
    // Reads the clock.
    PTime();
    PTime(int hour, int min, int sec, int day, int mon, int year, long time);

    // Reads the current local time into every field.
    void Now();

    int getHour() const { return m_hour; }
    int getMin() const { return m_min; }
    int getSec() const { return m_sec; }
    int getDay() const { return m_day; }
    int getMon() const { return m_mon; }
    int getYear() const { return m_year; }
    long getTime() const { return m_time; }

    void setHour(int hour) { m_hour = hour; }
    void setMin(int min) { m_min = min; }
    void setSec(int sec) { m_sec = sec; }
    void setDay(int day) { m_day = day; }
    void setMon(int mon) { m_mon = mon; }
    void setYear(int year) { m_year = year; }
    void setTime(long time) { m_time = time; }

    // hour:min:sec, a one-character seconds text gets a leading "0".
    std::string StrTime() const;
    // day/month/year.
    std::string StrDate() const;
    // hour:min:sec - day/month/year, nothing padded.
    std::string Str() const;

private:
    int m_hour = 0;
    int m_min = 0;
    int m_sec = 0;
    int m_day = 0;
    int m_mon = 0;
    int m_year = 0;
    long m_time = 0;
};
