#pragma once

class HerbdeskFrm;
class ScreenRegistry;

// The commands of the menu "数据维护" ("backup", "restore", "backupsettings") and the automatic
// backup when the main window closes ("leaving").
void registerMaintenanceCommands(ScreenRegistry &registry);

namespace MaintenanceCommands {

void backUp(HerbdeskFrm &window);
void restore(HerbdeskFrm &window);
void editSettings(HerbdeskFrm &window);
// Backs up once a day at most, when the settings ask for it, then keeps the newest backups.
void backUpOnLeaving(HerbdeskFrm &window);

} // namespace MaintenanceCommands
