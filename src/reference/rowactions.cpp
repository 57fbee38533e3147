#include "reference/rowactions.h"

#include "shell/messages.h"
#include "store/cursor.h"
#include "store/values.h"

#include <QLineEdit>

namespace RowActions {

bool setIfGiven(Cursor &cursor, const QString &column, const QString &text)
{
    return text.isEmpty() || cursor.setValue(column, text);
}

QString typed(const QString &text)
{
    return text.isNull() ? QStringLiteral("") : text;
}

bool textsFit(QWidget *screen, const QList<QPair<QString, QLineEdit *>> &labelledBoxes)
{
    for (const auto &[label, box] : labelledBoxes) {
        if (!Values::fitsTextColumn(box->text())) {
            // Labels are spaced out to line up ("地    址"); the message uses the word.
            const QString name = QString(label).remove(QLatin1Char(' '));
            Messages::inform(screen, Values::tooLongMessage(name));
            box->setFocus(Qt::OtherFocusReason);
            return false;
        }
    }
    return true;
}

} // namespace RowActions

bool RowActions::removeCurrent(QWidget *screen, Cursor &cursor)
{
    if (cursor.hasCurrent() && cursor.remove())
        return true;
    const bool stale = cursor.lastError().isStale();
    Messages::inform(screen, stale ? cursor.lastError().text() : QStringLiteral("删除错误"));
    return false;
}
