#pragma once

#include "tradeactions.h"

// The two sides of the trade, measured by the same actions.
TradeSide purchaseSide();
TradeSide salesSide();
