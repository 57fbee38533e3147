#pragma once

#include "trading/posting.h"

class Store;

// Posts every pending sales line out of stock. Each line lowers the first stock row that it
// matches (SalesStock: 编号, 批号, 规格 and 产地 trimmed, "*" any value, Null included) by its
// quantity, and the row's value becomes its unit cost times what is left, rounded to the cent;
// a row without a unit cost keeps the value of what is left at its former average. A line that
// its row cannot supply (less left than its quantity, after the lines before it), or that has a
// quantity and finds no stock row, refuses the whole posting, naming the line. The lines are
// marked "已出库" and filed under the request's number, one header goes into danju and the sales
// counter advances. All of it in one transaction: on any failure nothing is changed and the
// result carries the reason.
PostingResult postPendingSales(Store &store, const PostingRequest &request);
