#pragma once

class ScreenRegistry;

// Registers the stock screens with the main window.
void registerStockScreens(ScreenRegistry &registry);
