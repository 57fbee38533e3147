#pragma once

#include "shell/childscreen.h"

class QListWidget;
class QTextBrowser;

// The built-in guide "如何使用": the guide's text with pictures of the real screens, and beside
// it a contents list of its chapters; choosing a chapter shows it.
class BangzhuFrm : public ChildScreen
{
    Q_OBJECT

public:
    explicit BangzhuFrm(Store &store, QWidget *parent = nullptr);

private:
    // Lists the guide's chapters (its second-level headings) by their anchors.
    void fillContents();
    void showChapter(int row);

    QListWidget *List1;
    QTextBrowser *Text1;
};

class ScreenRegistry;

// Registers the guide with the main window.
void registerHelpScreens(ScreenRegistry &registry);
