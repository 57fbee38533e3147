#include "action.h"

QString Target::text() const
{
    QString text;
    switch (kind) {
    case Kind::None:
        return QStringLiteral("—");
    case Kind::Wall:
        text = QStringLiteral("p95 < %1 ms").arg(limit);
        break;
    case Kind::Cpu:
        text = QStringLiteral("CPU p95 < %1 ms").arg(limit);
        break;
    case Kind::MemoryMb:
        text = QStringLiteral("< %1 MB").arg(limit);
        break;
    }
    if (engineFactor > 0)
        text += QStringLiteral(", ≤ %1× engine").arg(engineFactor);
    if (referenceSizeOnly)
        text += QStringLiteral(" (1x)");
    return text;
}

bool Result::judged(bool referenceSize) const
{
    if (skipped || target.kind == Target::Kind::None)
        return false;
    return referenceSize || !target.referenceSizeOnly;
}

bool Result::passed() const
{
    switch (target.kind) {
    case Target::Kind::None:
        return true;
    case Target::Kind::MemoryMb:
        return value && *value < target.limit;
    case Target::Kind::Cpu:
        return !warm.empty() && warm.cpu().p95 < target.limit;
    case Target::Kind::Wall:
        break;
    }
    if (warm.empty())
        return false;
    const double p95 = warm.wall().p95;
    if (p95 >= target.limit)
        return false;
    return target.engineFactor <= 0 || engine.empty()
           || p95 <= target.engineFactor * engine.wall().p95;
}
