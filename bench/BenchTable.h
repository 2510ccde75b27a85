#pragma once

// What the benchmarks share: timing, and their output, rows of one Markdown table with each
// figure beside a reference measured in the same run and the ratio between the two.

#include <algorithm>
#include <chrono>
#include <functional>
#include <iomanip>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

inline double millisecondsOf (const std::function<void()>& work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli> (std::chrono::steady_clock::now() - start).count();
}

// The median time of `runs` runs of the work, each after the preparation, which is not timed.
inline double medianMs (int runs, const std::function<void()>& prepare, const std::function<void()>& work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i)
    {
        prepare();
        times.push_back (millisecondsOf (work));
    }
    std::sort (times.begin(), times.end());
    return times[times.size() / 2];
}

inline std::string figure (double value, const char* unit)
{
    std::ostringstream out;
    out << std::setprecision (value < 10.0 ? 3 : 4) << value << " " << unit;
    return out.str();
}

inline void printRow (const std::string& measure, const std::string& value, const std::string& reference, double ratio)
{
    std::ostringstream ratioText;
    if (ratio < 0.01)
        ratioText << std::setprecision (2) << ratio;  // a tiny ratio keeps two significant digits
    else
        ratioText << std::fixed << std::setprecision (ratio < 0.1 ? 3 : 2) << ratio;
    std::cout << "| " << measure << " | " << value << " | " << reference << " | " << ratioText.str() << " |" << std::endl;
}
