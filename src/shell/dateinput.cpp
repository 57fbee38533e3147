#include "shell/dateinput.h"

#include "shell/messages.h"
#include "store/values.h"

#include <QLineEdit>

std::optional<QDate> dateInBox(QWidget *screen, QLineEdit *box, const QString &boxName)
{
    const auto date = Values::parseDate(box->text());
    if (!date) {
        Messages::inform(screen, QStringLiteral("%1不是有效的日期，请按 2026-12-05 的样式输入")
                                     .arg(boxName));
        box->setFocus();
        box->selectAll();
        return std::nullopt;
    }
    box->setText(Values::storedDate(*date));
    return date;
}
