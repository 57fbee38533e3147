#pragma once

#include "store/storeerror.h"

#include <QDate>
#include <QString>
#include <optional>

class Store;

// Document numbers of purchases ("JH") and sales ("XS"): the prefix, the date and a running
// counter kept in the one row of `danjuhao`.
namespace DocumentNumber {

// Positions of the two counters in `danjuhao`.
constexpr int PurchaseCounter = 1;
constexpr int SalesCounter = 2;

// Below 1000 the counter fills the last three digits (JH20261205007); from 1000 on it follows
// the date digits in full (JH202612051000), so that a number never names another day.
QString make(const QString &prefix, const QDate &date, qint64 counter);

// The counter at the given position of `danjuhao` (a Null counter reads as 0); no value and
// *error filled when the table cannot be read or holds no row.
std::optional<qint64> counter(Store &store, int position, StoreError *error);
// The counter read inside the caller's writing transaction under a lock on its row: another
// posting that wants it waits until this transaction ends, then reads it as this one left it.
std::optional<qint64> lockedCounter(Store &store, int position, StoreError *error);

// Raises the counter by one; false and *error on failure.
bool advance(Store &store, int position, StoreError *error);

// The number the next posting will use: today's date and the counter as it stands.
std::optional<QString> next(Store &store, const QString &prefix, int position,
                            StoreError *error);

} // namespace DocumentNumber
