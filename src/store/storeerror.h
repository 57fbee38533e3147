#pragma once

#include <QString>

// What went wrong in the store: the action that failed and the engine's own words.
struct StoreError
{
    QString action;
    QString detail;
    // The row was changed or deleted by someone else since it was read; nothing was written.
    bool stale = false;

    static StoreError staleRow()
    {
        return {QStringLiteral("记录已被修改或删除，请重新查询"), QString(), true};
    }

    bool isEmpty() const { return action.isEmpty() && detail.isEmpty(); }
    QString text() const
    {
        return detail.isEmpty() ? action : action + QStringLiteral("：") + detail;
    }
};
