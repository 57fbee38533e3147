#pragma once

#include "timing.h"

#include <QString>
#include <functional>
#include <optional>

class Engine;

// What an action must achieve. Times are judged on the warm 95th percentile.
struct Target
{
    enum class Kind { None, Wall, Cpu, MemoryMb };
    Kind kind = Kind::None;
    double limit = 0;
    // When above 0, the p95 must also stay within this many times the engine's p95.
    double engineFactor = 0;
    // Judged at the 1x size only (elsewhere reported).
    bool referenceSizeOnly = false;

    static Target none() { return {}; }
    static Target wallMs(double ms) { return {Kind::Wall, ms, 0, false}; }
    static Target cpuMs(double ms) { return {Kind::Cpu, ms, 0, false}; }
    static Target memoryMb(double mb) { return {Kind::MemoryMb, mb, 0, false}; }
    // A keystroke, painted: under a frame (16 ms).
    static Target keystroke() { return {Kind::Wall, 16, 0, false}; }
    // The program's own data work for a keystroke: within twice the engine's first page.
    static Target keystrokeData() { return {Kind::Wall, 16, 2, false}; }
    Target atReferenceSizeOnly() const
    {
        Target copy = *this;
        copy.referenceSizeOnly = true;
        return copy;
    }
    QString text() const;
};

// One user action measured through the program's screens, with the engine's least SQL for
// the same result beside it. Every step but `act` and `engine` is untimed.
struct Action
{
    QString group;  // "进货", "销售", "库存", "系统"
    QString name;
    Target target;
    int samples = 30;
    bool cold = true; // also measured after the file cache is dropped
    bool countsCommits = false; // notes how many transactions wrote each file

    std::function<void()> setUp;    // once, e.g. open the screen
    std::function<void()> prepare;  // before each sample, e.g. type the prefix before the key
    std::function<void()> act;      // the user's action; the driver settles after it
    std::function<void()> restore;  // after each sample, puts the data back
    std::function<void()> tearDown; // once

    std::function<void(Engine &)> engine;        // the least SQL for the same result
    std::function<void(Engine &)> engineRestore; // after each engine sample
};

// An action measured in a process of its own (start-up, peak memory): it reports its samples or
// a single value itself.
struct ProbeResult
{
    SampleSet warm;
    SampleSet cold;
    std::optional<double> value; // e.g. peak memory in MB
    QString note;
};

struct Result
{
    QString group;
    QString name;
    Target target;
    SampleSet warm;
    SampleSet cold;
    SampleSet engine;
    std::optional<double> value;
    QString note; // why skipped, what failed, or what was seen
    bool skipped = false;

    // Whether the target applies at this size; judged results either pass or miss.
    bool judged(bool referenceSize) const;
    bool passed() const;
};
