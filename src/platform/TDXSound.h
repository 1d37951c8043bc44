#pragma once

// A window's sound output. It opens only where an output device is bound to it; while it is closed, every play
// on its wave lists returns at once without a sound and nothing is reported.
class TDXSound
{
public:
    bool Initialized() const { return m_open; }

private:
    bool m_open = false;
};
