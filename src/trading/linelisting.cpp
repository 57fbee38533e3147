#include "trading/linelisting.h"

#include "shell/messages.h"
#include "store/cursor.h"
#include "store/values.h"

#include <QLineEdit>

std::optional<QVariantList> listWithTotals(Store &store, Cursor &cursor, const Query &lines,
                                           const QList<Store::Total> &wanted, QString *problem)
{
    const QVariantList totals = store.totals(lines, wanted);
    if (totals.isEmpty())
        *problem = store.lastError().text();
    else if (!cursor.open(lines))
        *problem = cursor.lastError().text();
    else
        return totals;
    cursor.close();
    return std::nullopt;
}

bool searchTextFits(QWidget *screen, QLineEdit *box, const QString &boxName)
{
    if (Values::fitsTextColumn(box->text()))
        return true;
    Messages::inform(screen, Values::tooLongMessage(boxName));
    box->setFocus();
    box->selectAll();
    return false;
}
