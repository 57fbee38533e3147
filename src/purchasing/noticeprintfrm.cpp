#include "purchasing/noticeprintfrm.h"

#include "printing/curtprinter.h"
#include "store/clock.h"
#include "store/values.h"

namespace {

const QString Title = QStringLiteral("购进入库验收通知单");
const QString LinesCursor = QStringLiteral("Data1");

// The thirteen columns; their widths add up to 11900 twips.
const QList<PrintColumn> &noticeColumns()
{
    static const QList<PrintColumn> columns = {
        {"编号", 1000, "编号", CellRule::Trimmed},
        {"品名", 1000, "品名", CellRule::Trimmed},
        {"规格", 800, "规格", CellRule::TrimmedNoStar},
        {"单位", 700, "单位", CellRule::Trimmed},
        {"产地", 800, "产地", CellRule::TrimmedNoStar},
        {"生产日期", 1000, "生产日期", CellRule::Trimmed},
        {"批号", 1300, "批号", CellRule::TrimmedNoStar},
        {"有效期", 1000, "有效期", CellRule::Trimmed},
        {"数量", 800, "数量", CellRule::Trimmed},
        {"单价", 700, "进价", CellRule::AsStored},
        {"库房", 1000, "库房", CellRule::Trimmed},
        {"验收结论", 1000, nullptr, CellRule::Blank},
        {"备注", 800, nullptr, CellRule::Blank},
    };
    return columns;
}

} // namespace

NoticeConfig pendingLinesNotice()
{
    return {{QStringLiteral("jinhuodafrm"), QStringLiteral("进货打印"), CurtPrinter::Landscape,
             CurtPrinter::B5, QStringLiteral("没有打印通知单")},
            QStringLiteral("Text9"),
            QStringLiteral("Combo5"),
            QStringLiteral("通知单号：%1   供货单位：%2  合同号：            发票号：            "
                           "日期：%3")};
}

NoticeConfig documentNotice()
{
    // No supplier to read: the space after "供货单位：" is left to fill in by hand.
    return {{QStringLiteral("jindandafrm"), QStringLiteral("进货单据"), CurtPrinter::Landscape,
             CurtPrinter::B5, QStringLiteral("没有打印通知单")},
            QStringLiteral("Text1"),
            QString(),
            QStringLiteral("通知单号：%1   供货单位：%2                   合同号：            "
                           "发票号：            日期：%3")};
}

NoticePrintFrm::NoticePrintFrm(const NoticeConfig &config, QWidget *openingScreen,
                               QWidget *parent)
    : PrintWindow(config.window, openingScreen, parent), m_config(config)
{
    load();
}

PrintWindow *NoticePrintFrm::open(QWidget *openingScreen, const NoticeConfig &config)
{
    return PrintWindow::open(openingScreen, config.window.name, [&] {
        return new NoticePrintFrm(config, openingScreen);
    });
}

bool NoticePrintFrm::PrintContent(QPrinter *target)
{
    beginDocument(target, Title);
    const QString supplier =
        m_config.supplierBox.isEmpty() ? QString() : openingScreen().text(m_config.supplierBox);
    CurtPrinter1->PrintLine(m_config.headerLine.arg(openingScreen().text(m_config.numberBox),
                                                    supplier,
                                                    Values::storedDate(Clock::today())));
    printTable(noticeColumns(), LinesCursor);
    return endDocument(QStringLiteral(" 保管员：          验收员：            开票员："));
}

void NoticePrintFrm::onPageHeading(int)
{
    CurtPrinter1->SetPageText(Title, QString(), QString());
}

void NoticePrintFrm::onPageFoot(int page)
{
    CurtPrinter1->SetPageFootText(QString(), QStringLiteral("第%1页").arg(page), QString());
}
