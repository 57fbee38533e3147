#pragma once

#include "action.h"

#include <QStringList>
#include <vector>

class Bench;

// Opening every working screen of the menu, each beside the least SQL it needs to show.
void addScreenOpenings(Bench &bench, std::vector<Action> &actions);

// Every working screen of the menu by name, those not built yet included.
QStringList menuScreens();
