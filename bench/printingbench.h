#pragma once

#include "action.h"

#include <vector>

class Bench;
struct TradeSide;

// The print preview's speed: the entry screen holding the lines of a very large delivery, its
// print button lays the document out and the first preview page is painted.
void addPrintPreview(Bench &bench, const TradeSide &side, std::vector<Action> &actions);
