#pragma once

class ScreenRegistry;

// Registers the sales screens with the main window.
void registerSalesScreens(ScreenRegistry &registry);
