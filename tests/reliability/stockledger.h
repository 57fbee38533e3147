#pragma once

#include "store/store.h"

#include <QHash>
#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <cmath>

// What the monkey expects the stock to hold, kept apart from the program: each stock row's
// quantity as its opening, plus what posted purchases brought, less what posted sales and
// write-offs took. The postings are followed by a model of their matching rule: a purchase line
// goes to the first row of its code whose batch and origin match (else to a new row), a sales
// line to the first row of its code whose batch, grade and origin match; a value of
// "*" or none matches any, and letter case does not count.
class StockLedger
{
public:
    struct Row
    {
        qint64 rowid = 0;
        QHash<QString, QVariant> key; // 编号, 批号, 规格, 产地 as stored
        double quantity = 0;          // 库存数量, Null read as 0
    };

    struct Line
    {
        QHash<QString, QVariant> key;
        QVariant quantity;
    };

    // The stock rows as stored, in table order.
    static QList<Row> read(Store &store)
    {
        QList<Row> rows;
        QSqlQuery query(store.database());
        query.exec(QStringLiteral("SELECT rowid, 编号, 批号, 规格, 产地, 库存数量 FROM kucun "
                                  "ORDER BY rowid"));
        while (query.next()) {
            Row row;
            row.rowid = query.value(0).toLongLong();
            for (int i = 0; i < 4; ++i)
                row.key.insert(keyColumns()[i], query.value(i + 1));
            row.quantity = query.value(5).toDouble();
            rows << row;
        }
        return rows;
    }

    // The pending lines that a posting is about to take, in the order it takes them.
    static QList<Line> pendingLines(Store &store, const QString &table, const QString &flag)
    {
        QList<Line> lines;
        QSqlQuery query(store.database());
        query.exec(QStringLiteral("SELECT 编号, 批号, 规格, 产地, 数量 FROM %1 WHERE %2 IS NULL "
                                  "ORDER BY rowid")
                       .arg(table, flag));
        while (query.next()) {
            Line line;
            for (int i = 0; i < 4; ++i)
                line.key.insert(keyColumns()[i], query.value(i));
            line.quantity = query.value(4);
            lines << line;
        }
        return lines;
    }

    static const QStringList &keyColumns()
    {
        static const QStringList columns = {QStringLiteral("编号"), QStringLiteral("批号"),
                                            QStringLiteral("规格"), QStringLiteral("产地")};
        return columns;
    }

    bool knows(qint64 rowid) const { return m_expected.contains(rowid); }
    double expected(qint64 rowid) const { return m_expected.value(rowid); }
    void set(qint64 rowid, double quantity) { m_expected.insert(rowid, quantity); }
    void forget(qint64 rowid) { m_expected.remove(rowid); }
    void add(qint64 rowid, double quantity) { m_expected[rowid] += quantity; }

    // Applies a purchase posting of the lines to the rows as they stood before it; the rows it
    // creates are matched to the rows that appeared, in order. Empty when the stock agrees.
    QString postPurchases(const QList<Line> &lines, QList<Row> before, const QList<Row> &after)
    {
        // The rows the posting makes are known by their place in `created` until they are
        // stored: a later line of the same posting may meet them.
        QList<double> created;
        for (const Line &line : lines) {
            const double quantity = line.quantity.toDouble();
            const int found = firstMatch(before, line, {"批号", "产地"}, false);
            if (found >= 0 && before[found].rowid < 0) {
                created[-before[found].rowid - 1] += quantity;
            } else if (found >= 0) {
                m_expected[before[found].rowid] += quantity;
            } else {
                Row row;
                row.key = line.key;
                created << quantity;
                row.rowid = -created.size();
                before << row;
            }
        }
        return adoptNewRows(after, created);
    }

    // Applies a sales posting; a line that no row matches is an error of the model.
    QString postSales(const QList<Line> &lines, const QList<Row> &before)
    {
        for (const Line &line : lines) {
            const int found = firstMatch(before, line, {"批号", "规格", "产地"}, true);
            if (found < 0)
                return QStringLiteral("a posted sales line matches no stock row");
            m_expected[before[found].rowid] -= line.quantity.toDouble();
        }
        return {};
    }

    // Compares every stock row with what is expected of it.
    QString compare(const QList<Row> &rows) const
    {
        if (rows.size() != m_expected.size())
            return QStringLiteral("%1 stock rows, %2 expected").arg(rows.size())
                .arg(m_expected.size());
        for (const Row &row : rows) {
            if (!m_expected.contains(row.rowid))
                return QStringLiteral("stock row %1 is not expected").arg(row.rowid);
            if (std::fabs(row.quantity - m_expected.value(row.rowid)) > 1e-6) {
                return QStringLiteral("stock row %1 (%2) holds %3, expected %4")
                    .arg(row.rowid)
                    .arg(row.key.value("编号").toString())
                    .arg(row.quantity, 0, 'g', 12)
                    .arg(m_expected.value(row.rowid), 0, 'g', 12);
            }
        }
        return {};
    }

private:
    static bool matches(const QVariant &pattern, const QVariant &value, bool trimmed)
    {
        QString text = pattern.toString();
        if (trimmed)
            text = text.trimmed();
        if (pattern.isNull() || text == QLatin1String("*"))
            return true;
        QString stored = value.toString();
        if (trimmed)
            stored = stored.trimmed();
        return !value.isNull() && stored.compare(text, Qt::CaseInsensitive) == 0;
    }

    static int firstMatch(const QList<Row> &rows, const Line &line, const QStringList &columns,
                          bool trimmed)
    {
        for (int i = 0; i < rows.size(); ++i) {
            QString code = line.key.value("编号").toString();
            QString stored = rows[i].key.value("编号").toString();
            if (trimmed) {
                code = code.trimmed();
                stored = stored.trimmed();
            }
            bool all = !rows[i].key.value("编号").isNull()
                       && stored.compare(code, Qt::CaseInsensitive) == 0;
            for (const QString &column : columns)
                all = all && matches(line.key.value(column), rows[i].key.value(column), trimmed);
            if (all)
                return i;
        }
        return -1;
    }

    QString adoptNewRows(const QList<Row> &after, const QList<double> &created)
    {
        QList<qint64> appeared;
        for (const Row &row : after) {
            if (!m_expected.contains(row.rowid))
                appeared << row.rowid;
        }
        if (appeared.size() != created.size())
            return QStringLiteral("the posting made %1 stock rows, expected %2")
                .arg(appeared.size())
                .arg(created.size());
        for (int i = 0; i < appeared.size(); ++i)
            m_expected.insert(appeared[i], created[i]);
        return {};
    }

    QHash<qint64, double> m_expected;
};
