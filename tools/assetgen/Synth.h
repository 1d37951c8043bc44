#pragma once

#include <cmath>

// Small pieces shared by the synthesised cues and the splash tune.
namespace assetgen::synth {

constexpr double Pi = 3.14159265358979323846;

// A raised-cosine ramp from 0 to 1 over `length` seconds: smooth enough that a note never starts or stops with a
// click.
inline double Ramp(double t, double length)
{
    if (t <= 0.0)
        return 0.0;
    if (t >= length)
        return 1.0;
    return 0.5 - 0.5 * std::cos(Pi * t / length);
}

} // namespace assetgen::synth
