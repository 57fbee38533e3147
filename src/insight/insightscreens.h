#pragma once

class ScreenRegistry;

// Registers the statistics views with the main window.
void registerInsightScreens(ScreenRegistry &registry);
