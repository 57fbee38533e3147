#pragma once

#include "action.h"
#include "datasize.h"

#include <QStringList>
#include <vector>

// What one size's run found: facts about the data and machine, and every action's result.
struct SizeReport
{
    DataSize size;
    QString engine; // the engine measured when not the files' SQLite: "PostgreSQL"
    QStringList facts;
    std::vector<Result> results;

    // Whether a judged target was missed.
    bool missedTarget() const;
};

// The report as a Markdown section: the facts, then one table row per action.
QString markdown(const SizeReport &report);
