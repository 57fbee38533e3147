#include "stock/stockscreen.h"

#include "shell/datagrid.h"
#include "shell/formcontrols.h"
#include "shell/messages.h"
#include "shell/twips.h"
#include "store/cursor.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

// The three stock windows share one size.
constexpr int WindowWidth = 8970;
constexpr int WindowHeight = 6180;
constexpr int FrameLeft = 120;
constexpr int FrameWidth = 8655;
constexpr int FrameHeight = 855;
constexpr int GridBelowFrame = 960;
// A little shorter than the design's 4695 so that the grid keeps a margin above the bottom
// border of the child window, whose caption bar here is taller than the design's.
constexpr int GridHeight = 4575;
// Controls of the frame's line: buttons 975 × 375, all centred on one height.
constexpr int LineTop = 240;
constexpr int LineHeight = 375;
constexpr int ButtonWidth = 975;

} // namespace

StockScreen::StockScreen(Store &store, const QString &name, const QString &caption,
                         int frameTopTwips, QWidget *parent)
    : ChildScreen(store, name, caption, WindowWidth, WindowHeight, parent),
      Frame1(new QFrame(this)),
      Data1(new Cursor(store, this))
{
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setFrameShape(QFrame::Box);
    Frame1->setFrameShadow(QFrame::Sunken);
    Frame1->setGeometry(twips(FrameLeft, frameTopTwips, FrameWidth, FrameHeight));

    Label1 = addLabel(QStringLiteral("Label1"), QStringLiteral("编号/品名"), 120, 900);
    Text1 = addBox(QStringLiteral("Text1"), 1080, 1800);
    Command1 = addButton(QStringLiteral("Command1"), QStringLiteral("搜索"), 3000);

    DBGrid1 = new DataGrid(Data1, QStringLiteral("DBGrid1"), this);
    DBGrid1->setGeometry(
        twips(FrameLeft, frameTopTwips + GridBelowFrame, FrameWidth, GridHeight));
}

QLabel *StockScreen::addLabel(const QString &name, const QString &text, int leftTwips,
                              int widthTwips)
{
    QLabel *label = FormControls::label(Frame1, name, text,
                                        twips(leftTwips, LineTop, widthTwips, LineHeight));
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

QLineEdit *StockScreen::addBox(const QString &name, int leftTwips, int widthTwips)
{
    QLineEdit *box = FormControls::textBox(Frame1, name,
                                           twips(leftTwips, LineTop, widthTwips, LineHeight));
    // Codes and names are short; the limit keeps a pasted page of text out of the search.
    box->setMaxLength(100);
    return box;
}

QPushButton *StockScreen::addButton(const QString &name, const QString &text, int leftTwips)
{
    return FormControls::button(Frame1, name, text,
                                twips(leftTwips, LineTop, ButtonWidth, LineHeight));
}

bool StockScreen::showRows(const Query &query)
{
    if (Data1->open(query))
        return true;
    reportCursorError();
    return false;
}

Filter StockScreen::codeOrNameStarting(const QString &text)
{
    return Filter::like(StockColumns::code, text)
           || Filter::like(StockColumns::name, text + QLatin1Char('*'));
}

Filter StockScreen::codeOrNameMatching(const QString &text)
{
    return Filter::like(StockColumns::code, text) || Filter::like(StockColumns::name, text);
}

void StockScreen::saveGridEdits()
{
    DBGrid1->submitPendingEdits();
}

bool StockScreen::requireCurrentRow()
{
    if (Data1->hasCurrent())
        return true;
    Messages::inform(this, QStringLiteral("请先在表格中选择一条记录"));
    return false;
}

void StockScreen::reportCursorError()
{
    Messages::inform(this, Data1->lastError().text());
}
