#include "trading/posting.h"

#include "store/clock.h"
#include "store/store.h"
#include "trading/documentnumber.h"

namespace {

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
    m_result = {};
    m_result.ok = post();
    if (!m_result.ok)
        m_result.postedLines = 0;
    return m_result;
}

bool Posting::post()
{
    Transaction transaction(m_store);
    if (!transaction.isActive())
        return fail(m_store.lastError());
    if (!takeNumber())
        return false;
    if (!m_lines.open(Query(m_side.linesTable, Filter::isNull(m_side.flagColumn))))
        return fail(m_lines.lastError());
    if (m_lines.isEmpty())
        return true;
    if (!postLines() || !writeHeader() || !advanceCounter())
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
