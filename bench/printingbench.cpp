#include "printingbench.h"

#include "purchasing/noticeprintfrm.h"

#include <QCoreApplication>

PrintWindow *showNoticePreview(QWidget *entryScreen)
{
    PrintWindow *window = NoticePrintFrm::open(entryScreen, pendingLinesNotice());
    QCoreApplication::processEvents();
    // Paints the page in view now rather than when the window system asks.
    window->repaint();
    return window;
}
