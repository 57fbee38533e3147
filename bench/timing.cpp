#include "timing.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>

namespace {

double processCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

} // namespace

Sample timed(const std::function<void()> &work)
{
    const double cpuBefore = processCpuMs();
    const auto wallBefore = std::chrono::steady_clock::now();
    work();
    const auto wallAfter = std::chrono::steady_clock::now();
    const double cpuAfter = processCpuMs();
    return {std::chrono::duration<double, std::milli>(wallAfter - wallBefore).count(),
            cpuAfter - cpuBefore};
}

Spread spreadOf(std::vector<double> values)
{
    if (values.empty())
        return {};
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    const double median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    const auto rank = static_cast<std::size_t>(std::ceil(0.95 * double(n)));
    return {median, values[std::max<std::size_t>(rank, 1) - 1], values.back()};
}

Spread SampleSet::wall() const
{
    std::vector<double> values;
    for (const Sample &s : samples)
        values.push_back(s.wallMs);
    return spreadOf(values);
}

Spread SampleSet::cpu() const
{
    std::vector<double> values;
    for (const Sample &s : samples)
        values.push_back(s.cpuMs);
    return spreadOf(values);
}
