#pragma once

#include "action.h"

#include <vector>

class Bench;

// The stock query's searches and a write-off.
void addStockActions(Bench &bench, std::vector<Action> &actions);
