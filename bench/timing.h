#pragma once

#include <functional>
#include <vector>

// One measured run of an action: the time that passed and the processor time the program used
// (all of its threads). Waiting for the disk counts in the first only.
struct Sample
{
    double wallMs = 0;
    double cpuMs = 0;
};

Sample timed(const std::function<void()> &work);

// Median, 95th percentile (nearest rank) and maximum of a set of values.
struct Spread
{
    double median = 0;
    double p95 = 0;
    double max = 0;
};

Spread spreadOf(std::vector<double> values);

struct SampleSet
{
    std::vector<Sample> samples;

    bool empty() const { return samples.empty(); }
    Spread wall() const;
    Spread cpu() const;
};
