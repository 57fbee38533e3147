#pragma once

#include "action.h"

#include <vector>

class Bench;

// The statistics views: opening the expiry list, the low-stock list, the minimums and the
// business overview, and the overview's top ten over the whole ten years.
void addInsightActions(Bench &bench, std::vector<Action> &actions);
