#pragma once

#include "trading/documentqueryfrm.h"
#include "trading/linequeryfrm.h"

// The sales query "xiaoshouchafrm": sales lines by code or name, date or customer.
LineQueryConfig salesLineQuery();

// The sales document query "chudanchafrm": sales documents by number.
DocumentQueryConfig salesDocumentQuery();
