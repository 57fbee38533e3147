#include "trading/pendinglines.h"

#include "shell/datagrid.h"
#include "shell/messages.h"
#include "store/cursor.h"
#include "store/store.h"
#include "store/values.h"
#include "trading/posting.h"

#include <QLineEdit>

RunningTotals::RunningTotals(QLineEdit *lines, QLineEdit *amount)
    : m_lines(lines), m_amount(amount)
{
    m_amount->setAlignment(Qt::AlignRight);
}

void RunningTotals::read(Store &store, const Query &pending, const QString &countedColumn)
{
    const QVariant count = store.count(pending, countedColumn);
    const QVariant amount = store.sum(pending, QStringLiteral("金额"));
    show(count.toDouble(), Values::sumText(amount));
}

void RunningTotals::recountOnEdits(Store &store, Cursor &lines, const Query &pending,
                                   const QString &countedColumn)
{
    QObject::connect(&lines, &Cursor::rowChanged, &lines, [this, &store, pending, countedColumn] {
        read(store, pending, countedColumn);
    });
}

void RunningTotals::added(double amount)
{
    // The line's amount counts as it is stored: to the cent.
    show(lines() + 1, Values::money(this->amount() + Values::roundMoney(amount)));
}

void RunningTotals::removed(double amount)
{
    show(lines() - 1, Values::plainNumber(Values::roundMoney(this->amount() - amount)));
}

void RunningTotals::clear()
{
    show(0, QStringLiteral("0"));
}

double RunningTotals::lines() const
{
    return m_lines->text().toDouble();
}

double RunningTotals::amount() const
{
    return Values::parseNumber(m_amount->text()).value_or(0.0);
}

void RunningTotals::show(double lines, const QString &amount)
{
    m_lines->setText(Values::plainNumber(lines));
    m_amount->setText(amount);
}

bool addPendingLine(QWidget *screen, Cursor &lines, const LineValues &always,
                    const LineValues &whenGiven)
{
    lines.addNew();
    bool ok = true;
    for (const auto &[column, text] : always)
        ok = ok && lines.setValue(column, text);
    for (const auto &[column, text] : whenGiven) {
        if (!text.isEmpty())
            ok = ok && lines.setValue(column, text);
    }
    if (!ok || !lines.update()) {
        lines.cancelUpdate();
        Messages::inform(screen, QStringLiteral("错误！\n") + lines.lastError().text());
        return false;
    }
    lines.refresh();
    lines.last();
    return true;
}

bool deletePendingLine(QWidget *screen, DataGrid &grid, RunningTotals &totals)
{
    grid.submitPendingEdits();
    Cursor &lines = *grid.cursor();
    if (!lines.hasCurrent())
        return false;
    const double amount = lines.value(QStringLiteral("金额")).toDouble();
    if (!lines.remove()) {
        Messages::inform(screen, lines.lastError().text());
        return false;
    }
    totals.removed(amount);
    return true;
}

void showPostingOutcome(QWidget *screen, const QString &action, const PostingResult &result,
                        Cursor &lines, RunningTotals &totals, QLineEdit *numberBox)
{
    if (!result.ok) {
        Messages::inform(screen, QStringLiteral("%1失败，没有做任何改动。\n").arg(action)
                                     + result.error.text());
        return;
    }
    // With nothing posted nothing was pending: lines deleted from another screen leave this one.
    lines.refresh();
    totals.clear();
    if (result.postedLines > 0)
        numberBox->setText(result.nextNumber);
}
