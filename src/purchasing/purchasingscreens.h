#pragma once

class ScreenRegistry;

// Registers the purchasing screens with the main window.
void registerPurchasingScreens(ScreenRegistry &registry);
