#include "printing/printwindow.h"

#include "printing/curtprinter.h"
#include "shell/messages.h"
#include "store/cursor.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QVBoxLayout>

namespace {

constexpr int TitleSize = 15;
constexpr int CellAlignment = PrintAlign::Centre;
const QString CellBorder = QStringLiteral("1111");
constexpr qint64 White = 16777215;
const QSize StandaloneSize(960, 680);

QMdiArea *clientAreaOf(QWidget *screen)
{
    for (QWidget *w = screen; w; w = w->parentWidget()) {
        if (auto *area = qobject_cast<QMdiArea *>(w))
            return area;
    }
    return nullptr;
}

PrintWindow *openWindowNamed(QMdiArea *area, const QString &name)
{
    if (area) {
        for (QMdiSubWindow *host : area->subWindowList()) {
            auto *window = qobject_cast<PrintWindow *>(host->widget());
            if (window && window->objectName() == name)
                return window;
        }
        return nullptr;
    }
    for (QWidget *top : QApplication::topLevelWidgets()) {
        auto *window = qobject_cast<PrintWindow *>(top);
        if (window && window->objectName() == name && window->isVisible())
            return window;
    }
    return nullptr;
}

} // namespace

PrintWindow::PrintWindow(const PrintWindowSettings &settings, QWidget *openingScreen,
                         QWidget *parent)
    : QWidget(parent), CurtPrinter1(new CurtPrinter(this)), m_settings(settings),
      m_openingScreen(openingScreen)
{
    setObjectName(settings.name);
    setWindowTitle(settings.caption);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(CurtPrinter1);

    connect(CurtPrinter1, &CurtPrinter::pageHeading, this, &PrintWindow::onPageHeading);
    connect(CurtPrinter1, &CurtPrinter::pageFoot, this, &PrintWindow::onPageFoot);
    connect(CurtPrinter1, &CurtPrinter::refreshRequested, this, [this] { PrintContent(nullptr); });
    connect(CurtPrinter1, &CurtPrinter::printRequested, this, &PrintWindow::print);
    connect(CurtPrinter1, &CurtPrinter::closeRequested, this, &PrintWindow::closeWindow);
}

PrintWindow *PrintWindow::open(QWidget *openingScreen, const QString &name,
                               const std::function<PrintWindow *()> &create)
{
    QMdiArea *area = clientAreaOf(openingScreen);
    if (PrintWindow *window = openWindowNamed(area, name)) {
        window->PrintContent(nullptr);
        if (auto *host = qobject_cast<QMdiSubWindow *>(window->parentWidget()))
            area->setActiveSubWindow(host);
        window->raise();
        window->activateWindow();
        return window;
    }
    PrintWindow *window = create();
    if (!area) {
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->resize(StandaloneSize);
        window->show();
        return window;
    }
    // A sizable child window, unlike the working screens: the preview is worth all the room.
    QMdiSubWindow *host = area->addSubWindow(window);
    host->setAttribute(Qt::WA_DeleteOnClose);
    host->setWindowTitle(window->windowTitle());
    const QSize room = area->viewport()->size();
    host->resize(room.width() * 9 / 10, room.height() * 9 / 10);
    host->move((room.width() - host->width()) / 2, (room.height() - host->height()) / 2);
    host->show();
    area->setActiveSubWindow(host);
    return window;
}

void PrintWindow::load()
{
    CurtPrinter1->setOrientation(m_settings.orientation);
    CurtPrinter1->setPaperSize(m_settings.paperSize);
    PrintContent(nullptr);
}

void PrintWindow::onPageHeading(int) {}

void PrintWindow::onPageFoot(int) {}

void PrintWindow::beginDocument(QPrinter *target, const QString &title)
{
    CurtPrinter1->BeginDoc(target);
    CurtPrinter1->NewPage();
    CurtPrinter1->PrintTitle(title, TitleSize, PrintAlign::Centre);
}

void PrintWindow::printTable(const QList<PrintColumn> &columns, const QString &cursorName)
{
    CurtPrinter1->NewRow();
    for (const PrintColumn &column : columns) {
        CurtPrinter1->PrintCell(QString::fromUtf8(column.caption), column.widthTwips,
                                CellAlignment, CellBorder, White);
    }
    m_openingScreen.forEachLine(cursorName, [this, &columns](const Cursor &line) {
        CurtPrinter1->NewRow();
        for (const PrintColumn &column : columns) {
            const QVariant value =
                column.column ? line.value(QString::fromUtf8(column.column)) : QVariant();
            CurtPrinter1->PrintCell(cellText(value, column.rule), column.widthTwips,
                                    CellAlignment, CellBorder, White);
        }
    });
}

void PrintWindow::printSpanningRow(const QString &text, int widthTwips, int alignment)
{
    CurtPrinter1->NewRow();
    CurtPrinter1->PrintCell(text, widthTwips, alignment, CellBorder, White);
}

bool PrintWindow::endDocument(const QString &signatures)
{
    CurtPrinter1->LineFeed();
    CurtPrinter1->LineFeed();
    CurtPrinter1->PrintLine(signatures);
    return CurtPrinter1->EndDoc();
}

void PrintWindow::print()
{
    // Only a document that reached the printer (or its PDF file) counts as printed.
    if (PrintContent(CurtPrinter1->printTarget()))
        m_printed = true;
}

void PrintWindow::closeWindow()
{
    if (auto *host = qobject_cast<QMdiSubWindow *>(parentWidget()))
        host->close();
    else
        close();
}

void PrintWindow::closeEvent(QCloseEvent *event)
{
    if (!m_printed)
        Messages::inform(this, m_settings.notPrintedMessage);
    event->accept();
}
