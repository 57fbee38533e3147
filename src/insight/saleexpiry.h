#pragma once

#include <QDate>
#include <QString>

class Store;
class QWidget;

// What sales entry does with the expiry date (有效期) of the stock row it is about to take over:
// an expired batch is sold only when the clerk confirms "该批号已过有效期"; a batch within the
// near-expiry days (the setting of the expiry list) gets a notice for the screen's status line.
namespace SaleExpiry {

struct Verdict
{
    bool takeOver = true;
    QString status; // for the status line; empty when there is nothing to say
};

// Asks about an expired batch through the message layer; says nothing about the others.
Verdict check(QWidget *screen, Store &store, const QString &expiry);

// The texts, for a date that reads: the question about an expired batch, and the status notice
// of an expired (taken over all the same) or a near batch.
QString expiredQuestion(const QDate &expiry);
QString expiredNotice(const QDate &expiry);
QString nearNotice(const QDate &expiry, const QDate &today);

} // namespace SaleExpiry
