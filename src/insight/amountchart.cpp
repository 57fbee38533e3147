#include "insight/amountchart.h"

#include "store/values.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QHorizontalBarSeries>
#include <QValueAxis>
#include <algorithm>

namespace AmountChart {

QChart *make(const QString &title, const QStringList &categories, const QVector<Series> &series,
             Qt::Orientation orientation)
{
    const bool horizontal = orientation == Qt::Horizontal;
    auto *chart = new QChart;
    chart->setTitle(title);
    chart->setAnimationOptions(QChart::NoAnimation);

    QAbstractBarSeries *bars = horizontal ? static_cast<QAbstractBarSeries *>(
                                                new QHorizontalBarSeries)
                                          : new QBarSeries;
    double lowest = 0;
    double highest = 0;
    for (const Series &data : series) {
        auto *set = new QBarSet(data.name);
        QVector<double> values = data.values;
        // A horizontal chart draws its first category at the bottom.
        if (horizontal)
            std::reverse(values.begin(), values.end());
        for (double value : values) {
            const double amount = Values::roundMoney(value);
            set->append(amount);
            lowest = std::min(lowest, amount);
            highest = std::max(highest, amount);
        }
        // The amount stands beside its bar, on the chart's white.
        set->setLabelColor(Qt::black);
        bars->append(set);
    }
    if (horizontal) {
        bars->setLabelsVisible(true);
        bars->setLabelsPosition(QAbstractBarSeries::LabelsOutsideEnd);
        bars->setLabelsPrecision(15);
        // Room beyond the longest bar for its amount.
        highest += (highest - lowest) * 0.15;
    }
    chart->addSeries(bars);

    auto *categoryAxis = new QBarCategoryAxis;
    QStringList shownCategories = categories;
    if (horizontal)
        std::reverse(shownCategories.begin(), shownCategories.end());
    categoryAxis->append(shownCategories);
    // Herb and store-room names are short; cut, they would say nothing.
    categoryAxis->setTruncateLabels(false);
    auto *amountAxis = new QValueAxis;
    amountAxis->setTitleText(QStringLiteral("元"));
    amountAxis->setLabelFormat(QStringLiteral("%.0f"));
    amountAxis->setRange(lowest, highest > lowest ? highest : lowest + 1);
    amountAxis->applyNiceNumbers();
    chart->addAxis(categoryAxis, horizontal ? Qt::AlignLeft : Qt::AlignBottom);
    chart->addAxis(amountAxis, horizontal ? Qt::AlignBottom : Qt::AlignLeft);
    bars->attachAxis(categoryAxis);
    bars->attachAxis(amountAxis);
    chart->legend()->setVisible(series.size() > 1);
    chart->legend()->setAlignment(Qt::AlignTop);
    return chart;
}

} // namespace AmountChart
