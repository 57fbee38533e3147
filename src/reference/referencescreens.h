#pragma once

class ScreenRegistry;

// Registers the reference-data screens with the main window.
void registerReferenceScreens(ScreenRegistry &registry);
