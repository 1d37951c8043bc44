#include "records/LessonVerdict.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "records/CourseProgress.h"

namespace verdict {

namespace {

Figure Judge(long double value, int goal)
{
    Figure figure;
    figure.Goal = goal;
    // Halves go to the even neighbour, in the default rounding mode.
    figure.Shown = std::llrint(value);
    if (CourseProgress::Tenths(static_cast<double>(value)) >= goal)
        return figure;
    figure.Shown = std::min<long long>(figure.Shown, goal - 1);
    figure.Missing = goal - figure.Shown;
    return figure;
}

} // namespace

Verdict Judge(long double speed, long double success, const LessonGoal &goal)
{
    return {Judge(speed, goal.Speed), Judge(success, goal.Success)};
}

std::string MissingSpeed(long long missing)
{
    return "il manque " + std::to_string(missing) + (missing > 1 ? " caractères" : " caractère") + " par minute";
}

std::string MissingSuccess(long long missing)
{
    return "il manque " + std::to_string(missing) + " % de réussite";
}

std::string MostMissed(const std::vector<Mistake> &mistakes, std::size_t count)
{
    // Each character's misses, and the order in which each was first missed.
    std::array<std::size_t, 256> misses{};
    std::string order;
    for (const Mistake &mistake : mistakes)
        if (misses[mistake.Expected]++ == 0)
            order += static_cast<char>(mistake.Expected);
    std::stable_sort(order.begin(), order.end(), [&](char a, char b) {
        return misses[static_cast<unsigned char>(a)] > misses[static_cast<unsigned char>(b)];
    });
    order.resize(std::min(order.size(), count));
    return order;
}

} // namespace verdict
