#pragma once

#include "action.h"

#include <QRegularExpression>

class Bench;

struct RunOptions
{
    bool quick = false;
    bool cold = true;
    QRegularExpression only; // actions whose "group name" matches

    bool wants(const QString &group, const QString &name) const;
};

// Runs an action: a warm-up, the warm samples, the cold samples, then the engine's samples.
class Runner
{
public:
    Runner(Bench &bench, const RunOptions &options);

    Result run(const Action &action);

private:
    // `commits`, when given, hears which files the action wrote in how many transactions.
    Sample sample(const Action &action, bool cold, QString *commits = nullptr);
    void noteMessages(Result &result);

    Bench &m_bench;
    RunOptions m_options;
};
