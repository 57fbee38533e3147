#pragma once

#include "trading/documentqueryfrm.h"
#include "trading/linequeryfrm.h"

// The purchase query "jinhuochafrm": purchase lines by code or name, date or supplier.
LineQueryConfig purchaseLineQuery();

// The purchase document query "jindanchafrm": purchase documents by number, with the reprint of
// their receiving notice.
DocumentQueryConfig purchaseDocumentQuery();
