#pragma once

#include "store/values.h"

#include <QDate>
#include <QString>
#include <array>

// What the crash child posts and the crash test checks: a few herbs, each of which always meets
// the same stock row, so that a stock row's quantity can be recomputed from the posted lines.
namespace CrashPlan {

struct Herb
{
    QString code;
    QString name;
    QString grade;
    QString batch;
    QString origin;
};

inline const std::array<Herb, 4> &purchaseHerbs()
{
    static const std::array<Herb, 4> herbs{{{"P1", "甘草", "片", "B1", "内蒙"},
                                            {"P2", "黄芪", "段", "B2", "甘肃"},
                                            {"P3", "当归", "整", "B3", "岷县"},
                                            {"P4", "党参", "*", "B4", "山西"}}};
    return herbs;
}

inline const std::array<Herb, 4> &salesHerbs()
{
    static const std::array<Herb, 4> herbs{{{"S1", "枸杞", "特级", "C1", "宁夏"},
                                            {"S2", "白芍", "片", "C2", "亳州"},
                                            {"S3", "川芎", "个", "C3", "四川"},
                                            {"S4", "茯苓", "块", "C4", "云南"}}};
    return herbs;
}

// Each stock row of the sales side starts with this much; no run sells it all.
constexpr double SalesOpening = 1000000;
constexpr double SalesCost = 2.5;

// Postings are dated on one fixed day, so that document numbers never depend on the clock.
inline QDate fixedDay()
{
    return QDate(2026, 12, 5);
}

inline QString today()
{
    return Values::storedDate(fixedDay());
}

inline double amount(int quantity, double price)
{
    return Values::roundMoney(quantity * price);
}

} // namespace CrashPlan
