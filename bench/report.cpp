#include "report.h"

namespace {

QString number(double value)
{
    const int decimals = value < 10 ? 2 : value < 100 ? 1 : 0;
    return QString::number(value, 'f', decimals);
}

QString spread(const Spread &s)
{
    return QStringLiteral("%1 / %2 / %3").arg(number(s.median), number(s.p95), number(s.max));
}

QString cell(const QString &text)
{
    QString escaped = text;
    return escaped.replace(QLatin1Char('|'), QLatin1String("\\|"));
}

QString verdict(const Result &result, bool referenceSize)
{
    if (result.skipped)
        return QStringLiteral("skipped");
    if (!result.judged(referenceSize))
        return result.target.kind == Target::Kind::None ? QStringLiteral("—")
                                                         : QStringLiteral("(not judged)");
    return result.passed() ? QStringLiteral("pass") : QStringLiteral("**MISS**");
}

QString row(const Result &r, bool referenceSize)
{
    const QString none = QStringLiteral("—");
    QString wall = r.warm.empty() ? none : spread(r.warm.wall());
    const QString cpu = r.warm.empty() ? none : spread(r.warm.cpu());
    if (r.value)
        wall = QStringLiteral("%1 MB").arg(number(*r.value));
    const QString coldWall = r.cold.empty() ? none : spread(r.cold.wall());
    const QString coldCpu = r.cold.empty() ? none : number(r.cold.cpu().median);
    const QString engine = r.engine.empty()
        ? none
        : QStringLiteral("%1 / %2").arg(number(r.engine.wall().median),
                                        number(r.engine.wall().p95));
    const QString ratio = r.engine.empty() || r.warm.empty() || r.engine.wall().median <= 0
        ? none
        : number(r.warm.wall().median / r.engine.wall().median) + QStringLiteral("×");
    return QStringLiteral("| %1 | %2 | %3 | %4 | %5 | %6 | %7 | %8 | %9 | %10 | %11 |")
        .arg(cell(r.group), cell(r.name), wall, cpu, coldWall, coldCpu, engine, ratio,
             cell(r.target.text()), verdict(r, referenceSize), cell(r.note));
}

} // namespace

bool SizeReport::missedTarget() const
{
    for (const Result &result : results) {
        if (result.judged(size.isReference()) && !result.passed())
            return true;
    }
    return false;
}

QString markdown(const SizeReport &report)
{
    QStringList lines;
    QString title = QStringLiteral("### %1x").arg(report.size.label);
    if (!report.engine.isEmpty())
        title += QStringLiteral(", ") + report.engine;
    lines << title << QString();
    for (const QString &fact : report.facts)
        lines << QStringLiteral("- ") + fact;
    lines << QString()
          << QStringLiteral("| | action | wall ms med / p95 / max | CPU ms med / p95 / max | "
                            "cold wall ms med / p95 / max | cold CPU ms med | engine ms med / p95 "
                            "| ratio | target | result | note |")
          << QStringLiteral("|---|---|---|---|---|---|---|---|---|---|---|");
    for (const Result &result : report.results)
        lines << row(result, report.size.isReference());
    lines << QString();
    return lines.join(QLatin1Char('\n'));
}
