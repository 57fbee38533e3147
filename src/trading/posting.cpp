#include "trading/posting.h"

#include "store/clock.h"
#include "store/store.h"
#include "trading/documentnumber.h"

#include <QThread>

namespace {

// A posting the server undid for another one's sake is run again, a few times.
constexpr int Attempts = 4;

QString column(const char *name)
{
    return QString::fromUtf8(name);
}

} // namespace

Posting::Posting(Store &store, const PostingSide &side, const PostingRequest &request)
    : m_store(store), m_side(side), m_request(request), m_lines(store)
{
}

Posting::~Posting() = default;

bool Posting::fail(const StoreError &error)
{
    m_result.error = error;
    return false;
}

bool Posting::refuse(const QString &reason)
{
    return fail({m_side.action + QStringLiteral("失败"), reason});
}

QString Posting::lineName(const Cursor &line) const
{
    QString name = QStringLiteral("第 %1 行").arg(line.position() + 1);
    for (const char *part : {"编号", "品名"}) {
        const QString text = line.value(column(part)).toString().trimmed();
        if (!text.isEmpty())
            name += QLatin1Char(' ') + text;
    }
    return name;
}

PostingResult Posting::run()
{
    for (int attempt = 1;; ++attempt) {
        m_result = {};
        m_result.ok = post();
        if (m_result.ok)
            return m_result;
        m_result.postedLines = 0;
        const StoreError::Kind kind = m_result.error.kind;
        if (kind == StoreError::Kind::Conflict && attempt < Attempts) {
            // The other transaction goes on first; waiting a little, more each time, lets it.
            QThread::msleep(20 * attempt);
            continue;
        }
        if (kind == StoreError::Kind::Conflict) {
            m_result.error = {m_side.action + QStringLiteral("失败"),
                              QStringLiteral("其他操作员正在修改相同的数据，试了 %1 次仍未成功，"
                                             "请稍后再试（%2）")
                                  .arg(Attempts)
                                  .arg(m_result.error.text())};
        } else if (kind == StoreError::Kind::ConnectionLost) {
            m_result.error = {m_side.action + QStringLiteral("失败"),
                              QStringLiteral("与数据库服务器的连接已断开，服务器已撤销这次未完成的"
                                             "改动。请检查网络后重新启动程序（%1）")
                                  .arg(m_result.error.text())};
        }
        return m_result;
    }
}

bool Posting::post()
{
    Transaction transaction(m_store);
    if (!transaction.isActive())
        return fail(m_store.lastError());
    if (!m_lines.open(Query(m_side.linesTable, Filter::pending(m_side.flagColumn))))
        return fail(m_lines.lastError());
    if (m_lines.isEmpty())
        return true;
    // The clerk's own pending lines are his alone; the counter comes before any stock row.
    if (!takeNumber() || !postLines() || !writeHeader() || !advanceCounter())
        return false;
    StoreError error;
    const auto nextNumber = DocumentNumber::next(m_store, m_side.prefix, m_side.counter, &error);
    if (!nextNumber)
        return fail(error);
    if (!transaction.commit())
        return fail(m_store.lastError());
    m_result.nextNumber = *nextNumber;
    m_result.documentNumber = m_number;
    return true;
}

bool Posting::takeNumber()
{
    StoreError error;
    const auto counter = DocumentNumber::lockedCounter(m_store, m_side.counter, &error);
    if (!counter)
        return fail(error);
    m_number = m_request.keepNumber || !m_store.location().isServer()
                   ? m_request.documentNumber
                   : DocumentNumber::make(m_side.prefix, Clock::today(), *counter);
    return true;
}

bool Posting::postLines()
{
    for (m_lines.first(); !m_lines.atEnd(); m_lines.next()) {
        const QVariant code = m_lines.value(column("编号"));
        if (code.isNull() || code.toString().isEmpty()) {
            return refuse(QStringLiteral("第 %1 行待%2记录没有编号")
                              .arg(m_lines.position() + 1)
                              .arg(m_side.action));
        }
        if (!moveStock(m_lines) || !markLine())
            return false;
        ++m_result.postedLines;
    }
    return true;
}

bool Posting::markLine()
{
    // A line carries the number shown when it was added, which may be an earlier day's; it takes
    // the header's number, so that the document query finds every line of the document.
    const bool marked = m_lines.edit()
                        && m_lines.setValue(column("单据号"), m_number)
                        && m_lines.setValue(m_side.flagColumn, m_side.postedMark)
                        && m_lines.update();
    if (!marked) {
        m_lines.cancelUpdate();
        return fail(m_lines.lastError());
    }
    return true;
}

bool Posting::writeHeader()
{
    // Opened on the headers of this number only, so that a long history is not read.
    Cursor headers(m_store);
    if (!headers.open(Query(m_side.headerTable,
                            Filter::like(m_side.headerColumn, m_number))))
        return fail(headers.lastError());
    headers.addNew();
    bool ok = headers.setValue(1, m_number);
    if (!m_request.date.isEmpty())
        ok = ok && headers.setValue(2, m_request.date);
    if (!m_request.partner.isEmpty())
        ok = ok && headers.setValue(3, m_request.partner);
    if (!ok || !headers.update())
        return fail(headers.lastError());
    return true;
}

bool Posting::advanceCounter()
{
    StoreError error;
    if (m_request.keepNumber || DocumentNumber::advance(m_store, m_side.counter, &error))
        return true;
    return fail(error);
}
