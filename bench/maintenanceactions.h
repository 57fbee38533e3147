#pragma once

#include "action.h"

#include <vector>

class Bench;

// A backup of the whole data, and the export of every purchase line to CSV and to XLSX.
void addMaintenanceActions(Bench &bench, std::vector<Action> &actions);
