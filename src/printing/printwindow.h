#pragma once

#include "printing/openingscreen.h"
#include "printing/printcolumns.h"

#include <QList>
#include <QWidget>
#include <functional>

class CurtPrinter;
class QPrinter;

// What sets one print window apart from the others.
struct PrintWindowSettings
{
    QString name;              // "jinhuodafrm"
    QString caption;           // "进货打印"
    int orientation;           // page set-up codes of the print component
    int paperSize;
    QString notPrintedMessage; // shown when the window closes before anything was printed
};

// A print window: the print component filling the window. It lays its document out from the
// screen that opened it at once, again on a refresh and onto the printer when the user prints,
// and tells the user on closing when nothing was printed.
class PrintWindow : public QWidget
{
    Q_OBJECT

public:
    CurtPrinter *printer() const { return CurtPrinter1; }
    bool isPrinted() const { return m_printed; }

    // Opens the window made by `create` beside the opening screen (in the main window's client
    // area, or alone outside one), not modal. A window of that name that is open already comes
    // to the front and lays its document out afresh instead.
    static PrintWindow *open(QWidget *openingScreen, const QString &name,
                             const std::function<PrintWindow *()> &create);

protected:
    PrintWindow(const PrintWindowSettings &settings, QWidget *openingScreen, QWidget *parent);

    // Lays the document out into the preview (target nullptr) or onto the printer; false when
    // the printer could not be used.
    virtual bool PrintContent(QPrinter *target) = 0;
    // The page events: set the page texts of the page being laid out.
    virtual void onPageHeading(int page);
    virtual void onPageFoot(int page);

    // The first layout; called by the window's constructor once the window is complete.
    void load();
    const OpeningScreen &openingScreen() const { return m_openingScreen; }
    // The start of every document: its first page and its title.
    void beginDocument(QPrinter *target, const QString &title);
    // The header row of the columns, then a row for each line of the screen's cursor.
    void printTable(const QList<PrintColumn> &columns, const QString &cursorName);
    // A row of one cell across the table, its text aligned by the code given.
    void printSpanningRow(const QString &text, int widthTwips, int alignment);
    // The end of every document: the signature line below the table, then the document is
    // shown or printed; false when the printer could not be used.
    bool endDocument(const QString &signatures);

    void closeEvent(QCloseEvent *event) override;

    CurtPrinter *const CurtPrinter1;

private:
    void print();
    void closeWindow();

    PrintWindowSettings m_settings;
    OpeningScreen m_openingScreen;
    bool m_printed = false;
};
