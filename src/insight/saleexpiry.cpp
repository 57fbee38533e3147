#include "insight/saleexpiry.h"

#include "shell/messages.h"
#include "store/clock.h"
#include "store/insightqueries.h"
#include "store/values.h"

namespace SaleExpiry {

Verdict check(QWidget *screen, Store &store, const QString &expiry)
{
    using InsightQueries::ExpiryState;
    const QDate today = Clock::today();
    const int nearDays = InsightQueries::nearExpiryDays(store);
    const ExpiryState state = InsightQueries::expiryState(expiry, today, nearDays);
    if (state == ExpiryState::Fine || state == ExpiryState::Unreadable)
        return {};
    const QDate date = *Values::parseDate(expiry);
    if (state == ExpiryState::Near)
        return {true, nearNotice(date, today)};
    if (!Messages::confirm(screen, expiredQuestion(date)))
        return {false, QString()};
    return {true, expiredNotice(date)};
}

QString expiredQuestion(const QDate &expiry)
{
    return QStringLiteral("该批号已过有效期（有效期至 %1），是否继续？")
        .arg(Values::storedDate(expiry));
}

QString expiredNotice(const QDate &expiry)
{
    return QStringLiteral("该批号已过有效期（有效期至 %1）").arg(Values::storedDate(expiry));
}

QString nearNotice(const QDate &expiry, const QDate &today)
{
    const qint64 days = today.daysTo(expiry);
    const QString when = days == 0 ? QStringLiteral("今天到期")
                                   : QStringLiteral(" %1 天后到期").arg(days);
    return QStringLiteral("近效期：该批号%1（有效期至 %2）").arg(when, Values::storedDate(expiry));
}

} // namespace SaleExpiry
