#pragma once

// The end of one run of the program. Asking for it ends the main loop once control returns there; what runs
// until then (a demonstration typing, a wait) asks whether the end has come and stops early. The main window
// owns the run's end, so each window starts with none asked for.
class ProgramEnd
{
public:
    void Request();
    bool Requested() const { return m_requested; }

private:
    bool m_requested = false;
};
