#pragma once

#include <string>

#include "coreobj/PTime.h"

// A named and titled run of work with a start and an end stamp.
class Elab {
public:
    // Both stamps from the clock, the start one read last.
    Elab();
    explicit Elab(const std::string& title);
    Elab(const std::string& name, const std::string& title, const PTime& t_start,
         const PTime& t_end);

    void setTimeStartNow() { m_Time_Start.Now(); }
    void setTimeEndNow() { m_Time_End.Now(); }
    PTime getTimeStart() const { return m_Time_Start; }
    PTime getTimeEnd() const { return m_Time_End; }

    void setName(const std::string& name) { m_Name = name; }
    void setTitle(const std::string& title) { m_title = title; }
    std::string getName() const { return m_Name; }
    std::string getTitle() const { return m_title; }

private:
    std::string m_Name;
    std::string m_title;
    PTime m_Time_Start;
    PTime m_Time_End;
};
