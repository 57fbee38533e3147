#pragma once

#include "trading/posting.h"

#include <QString>

class Store;

// What the purchase entry screen hands to a posting.
struct StockInRequest
{
    QString documentNumber; // the number shown on the screen, for the header and every line
    QString purchaseDate;   // the header's date, left Null when empty
    QString supplier;       // the header's supplier, left Null when empty
    bool keepNumber = false; // post again under the same number: the counter stays
    double salePrice = 0.0; // the sale price of stock rows that the posting creates
};

using StockInResult = PostingResult;

// Posts every pending purchase line into stock: the first matching stock row (StockMatch: same
// code, batch and origin matched as patterns, "*" meaning any value, Null included) grows and
// gets the weighted average unit cost, value and cost rounded to the cent; otherwise a new stock
// row is made. The lines are marked "已入库" and filed under the request's document number, one
// document header is written under it and the purchase counter advances unless the number is
// kept. All of it happens in one transaction: on any failure nothing is changed and the result
// carries the reason.
StockInResult postPendingPurchases(Store &store, const StockInRequest &request);
