#pragma once

class QCoreApplication;

// Makes Qt's own texts Chinese (the standard buttons, the context menus of text boxes, the
// system menu of child windows, the standard dialogs) by installing Qt's Chinese translations.
// False when they are not installed on this machine; Qt's texts then stay English.
bool installQtChineseTexts(QCoreApplication &app);
