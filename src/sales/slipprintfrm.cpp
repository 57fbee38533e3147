#include "sales/slipprintfrm.h"

#include "printing/curtprinter.h"
#include "shell/session.h"
#include "store/clock.h"
#include "store/values.h"

#include <numeric>

namespace {

const QString TitleEnd = QStringLiteral("药材销售单");
const QString LinesCursor = QStringLiteral("Data1");

// The ten columns; their widths add up to 10400 twips, the width of the totals row.
const QList<PrintColumn> &slipColumns()
{
    static const QList<PrintColumn> columns = {
        {"编号", 1000, "编号", CellRule::Trimmed},
        {"品名", 1000, "品名", CellRule::Trimmed},
        {"产地", 1000, "产地", CellRule::TrimmedNoStar},
        {"规格", 1000, "规格", CellRule::TrimmedNoStar},
        {"单位", 1000, "单位", CellRule::Trimmed},
        {"数量", 1000, "数量", CellRule::TwoDecimals},
        {"零售价", 1000, "销价", CellRule::TwoDecimals},
        {"零售金额", 1100, "金额", CellRule::TwoDecimals},
        {"批号", 1100, "批号", CellRule::TrimmedNoStar},
        {"生产厂家", 1200, "厂家", CellRule::TrimmedNoStar},
    };
    return columns;
}

int tableWidth()
{
    const QList<PrintColumn> &columns = slipColumns();
    return std::accumulate(columns.begin(), columns.end(), 0,
                           [](int sum, const PrintColumn &column) {
                               return sum + column.widthTwips;
                           });
}

QString blanks(int count)
{
    return QString(count, QLatin1Char(' '));
}

QString companyName(const QWidget *screen)
{
    const Session *session = sessionOf(screen);
    return session ? session->companyName : QString();
}

// A number box of the opening screen as the slip prints it: its text, or "0" where it holds no
// number (the screen closed, the query not searched yet, a box typed over), which then counts
// as nothing instead of leaving the totals row out.
struct BoxNumber
{
    QString text;
    double value = 0;
};

BoxNumber boxNumber(const OpeningScreen &screen, const QString &box)
{
    const QString text = screen.text(box).trimmed();
    const auto number = Values::parseNumber(text);
    if (!number)
        return {QStringLiteral("0"), 0};
    return {text, *number};
}

} // namespace

SlipConfig pendingLinesSlip()
{
    return {{QStringLiteral("xiaoshoudafrm"), QStringLiteral("销售出库打印"),
             CurtPrinter::Portrait, CurtPrinter::A4, QStringLiteral("没有打印")},
            QStringLiteral("Text4"),
            QStringLiteral("Combo2"),
            QStringLiteral("Text5"),
            QStringLiteral("Text6"),
            QStringLiteral("Text2"),
            QStringLiteral("出库单号：%1  购货单位：%2") + blanks(38) + QStringLiteral("日期：%3")};
}

SlipConfig documentSlip()
{
    // No customer to read: the space after "购货单位：" is left to fill in by hand.
    return {{QStringLiteral("xiaodandafrm"), QStringLiteral("销售单据"), CurtPrinter::Portrait,
             CurtPrinter::A4, QStringLiteral("没有打印")},
            QStringLiteral("Text1"),
            QString(),
            QStringLiteral("Text2"),
            QStringLiteral("Text3"),
            QString(),
            QStringLiteral("出库单号：%1  购货单位：%2") + blanks(35) + QStringLiteral("日期：%3")};
}

SlipPrintFrm::SlipPrintFrm(const SlipConfig &config, QWidget *openingScreen, QWidget *parent)
    : PrintWindow(config.window, openingScreen, parent), m_config(config),
      // The name read at login, as the main window shows it; it stays for the whole run.
      m_title(companyName(openingScreen) + TitleEnd)
{
    load();
}

PrintWindow *SlipPrintFrm::open(QWidget *openingScreen, const SlipConfig &config)
{
    return PrintWindow::open(openingScreen, config.window.name, [&] {
        return new SlipPrintFrm(config, openingScreen);
    });
}

bool SlipPrintFrm::PrintContent(QPrinter *target)
{
    beginDocument(target, m_title);
    CurtPrinter1->LineFeed();
    const QString customer =
        m_config.customerBox.isEmpty() ? QString() : openingScreen().text(m_config.customerBox);
    CurtPrinter1->PrintLine(m_config.headerLine.arg(openingScreen().text(m_config.numberBox),
                                                    customer,
                                                    Values::storedDate(Clock::today())));
    printTable(slipColumns(), LinesCursor);
    printSpanningRow(totalsText(), tableWidth(), PrintAlign::Left);
    return endDocument(
        QStringLiteral(" 保管员：                  复核人：                       开票员："));
}

QString SlipPrintFrm::totalsText() const
{
    const BoxNumber count = boxNumber(openingScreen(), m_config.countBox);
    const BoxNumber total = boxNumber(openingScreen(), m_config.totalBox);
    const QString text = QStringLiteral("  共计：%1个品种     零售合计金额： ￥%2元    ")
                             .arg(count.text, total.text);
    if (m_config.rateBox.isEmpty())
        return text;
    const BoxNumber rate = boxNumber(openingScreen(), m_config.rateBox);
    // Double precision, rounded as a clerk rounds: in single precision 64.5 at 55 would come to
    // 35.47, not 35.48, and large totals would lose whole cents.
    return text + QStringLiteral("%1扣合计金额： ￥%2元")
                      .arg(rate.text, Values::money(total.value * rate.value / 100));
}

void SlipPrintFrm::onPageHeading(int page)
{
    CurtPrinter1->SetPageText(QString(), QString(), QStringLiteral("第%1页").arg(page));
}
