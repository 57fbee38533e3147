#pragma once

#include <QString>

// What went wrong in the store: the action that failed and the engine's own words.
struct StoreError
{
    QString action;
    QString detail;

    bool isEmpty() const { return action.isEmpty() && detail.isEmpty(); }
    QString text() const
    {
        return detail.isEmpty() ? action : action + QStringLiteral("：") + detail;
    }
};
