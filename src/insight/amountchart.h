#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

class QChart;

// Bar charts of money amounts, as the business overview draws them.
namespace AmountChart {

struct Series
{
    QString name;
    QVector<double> values; // one per category
};

// One group of bars per category, one bar per series, on an axis of 元 that starts at 0 (or
// below, for negative amounts). Horizontal charts list the first category at the top and write
// each amount at its bar.
QChart *make(const QString &title, const QStringList &categories, const QVector<Series> &series,
             Qt::Orientation orientation);

} // namespace AmountChart
