#pragma once

// The benchmarks' output: rows of one Markdown table, each figure beside a reference measured
// in the same run and the ratio between the two.

#include <iomanip>
#include <iostream>
#include <sstream>
#include <string>

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
