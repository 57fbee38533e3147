#pragma once

class PrintWindow;
class QWidget;

// The print preview's speed target: opens the receiving notice of the purchase entry screen's
// pending lines, which lays them out, and paints the first preview page. Deleting the returned
// window closes it without the closing message.
PrintWindow *showNoticePreview(QWidget *entryScreen);
