#pragma once

#include "action.h"

#include <vector>

class Bench;

// From the login window's "确定" to the main window shown.
void addLoginAction(Bench &bench, std::vector<Action> &actions);

// The login window made on the data, in this process: what start-up does besides starting a
// process and loading Qt. Stands beside the measure of the program itself.
void addStartupStandIn(Bench &bench, std::vector<Action> &actions);
