// Milliseconds since the kernel started this process, for start-up figures that include the
// loading of the program and its libraries (clock-tick resolution).
#pragma once

#include <fstream>
#include <string>
#include <unistd.h>

inline double MillisecondsSinceProcessStart()
{
    std::ifstream stat("/proc/self/stat");
    std::string line;
    std::getline(stat, line);
    const auto close = line.rfind(')');
    if (close == std::string::npos)
        return -1;
    std::string rest = line.substr(close + 2);
    // Field 22 of the line is the start time; rest begins at field 3.
    size_t pos = 0;
    for (int field = 3; field < 22; ++field)
        pos = rest.find(' ', pos) + 1;
    const double startTicks = std::stod(rest.substr(pos, rest.find(' ', pos) - pos));
    std::ifstream uptime("/proc/uptime");
    double up = 0;
    uptime >> up;
    return (up - startTicks / double(sysconf(_SC_CLK_TCK))) * 1000.0;
}
