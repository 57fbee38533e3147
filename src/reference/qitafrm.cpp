#include "reference/qitafrm.h"

#include "reference/rowactions.h"
#include "shell/formcontrols.h"
#include "shell/messages.h"
#include "shell/twips.h"
#include "store/cursor.h"
#include "store/store.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>

namespace {

const QString CompanyTable = QStringLiteral("gongsi");
const QString CounterTable = QStringLiteral("danjuhao");

} // namespace

QitaFrm::QitaFrm(Store &store, QWidget *parent)
    : ChildScreen(store, QStringLiteral("qitafrm"), QStringLiteral("其他设置"), 3120, 2865, parent),
      Data1(new Cursor(store, this))
{
    using namespace FormControls;
    Label1 = label(this, QStringLiteral("Label1"), QStringLiteral("公司名称"),
                   twips(240, 255, 840, 255));
    Text1 = textBox(this, QStringLiteral("Text1"), twips(1080, 240, 1695, 270));
    Label2 = label(this, QStringLiteral("Label2"), QStringLiteral("进货单号"),
                   twips(240, 735, 840, 255));
    Text2 = textBox(this, QStringLiteral("Text2"), twips(1080, 720, 1695, 270));
    Label3 = label(this, QStringLiteral("Label3"), QStringLiteral("销售单号"),
                   twips(240, 1215, 840, 255));
    Text3 = textBox(this, QStringLiteral("Text3"), twips(1080, 1200, 1695, 270));
    Command1 = button(this, QStringLiteral("Command1"), QStringLiteral("确定"),
                      twips(240, 1800, 975, 375));
    Command2 = button(this, QStringLiteral("Command2"), QStringLiteral("退出"),
                      twips(1800, 1800, 975, 375));

    Data1->open(Query(CompanyTable));
    Text1->setText(Data1->value(1).toString());
    // The boxes show the stored counters, so that "确定" after a mere change of the name keeps
    // them and no document number is handed out twice.
    Data1->open(Query(CounterTable));
    Text2->setText(counterText(Data1->value(1)));
    Text3->setText(counterText(Data1->value(2)));

    connect(Command1, &QPushButton::clicked, this, &QitaFrm::saveSettings);
    connect(Command2, &QPushButton::clicked, this, &ChildScreen::closeScreen);
}

std::optional<qint64> QitaFrm::parseCounter(const QString &text)
{
    // Nine digits at most keep the document number (date × 1000 + counter) exact.
    static const QRegularExpression digits(QStringLiteral("^\\d{1,9}$"));
    const QString trimmed = text.trimmed();
    if (!digits.match(trimmed).hasMatch())
        return std::nullopt;
    return trimmed.toLongLong();
}

QString QitaFrm::counterText(const QVariant &stored)
{
    return stored.isNull() ? QString() : QString::number(stored.toDouble(), 'g', 15);
}

void QitaFrm::saveSettings()
{
    qint64 purchase = 0;
    qint64 sales = 0;
    if (!readCounters(&purchase, &sales))
        return;
    if (lowersACounter(purchase, sales)
        && !Messages::confirm(this, QStringLiteral("单据号可能重复，确定吗？"))) {
        return;
    }
    // All three values are written together or not at all.
    Transaction transaction(store());
    if (!writeFirstRow(CompanyTable, {RowActions::typed(Text1->text())})
        || !writeFirstRow(CounterTable, {double(purchase), double(sales)}))
        return;
    if (!transaction.commit()) {
        Messages::inform(this, store().lastError().text());
        return;
    }
    Messages::inform(this, QStringLiteral("设置完毕"));
}

bool QitaFrm::readCounters(qint64 *purchase, qint64 *sales)
{
    const std::optional<qint64> first = parseCounter(Text2->text());
    if (!first) {
        Messages::inform(this, QStringLiteral("进货单号必须是0或正整数（最多9位）"));
        Text2->setFocus(Qt::OtherFocusReason);
        return false;
    }
    const std::optional<qint64> second = parseCounter(Text3->text());
    if (!second) {
        Messages::inform(this, QStringLiteral("销售单号必须是0或正整数（最多9位）"));
        Text3->setFocus(Qt::OtherFocusReason);
        return false;
    }
    *purchase = *first;
    *sales = *second;
    return true;
}

bool QitaFrm::lowersACounter(qint64 purchase, qint64 sales)
{
    // Compared with the counters as stored now: a posting since the screen opened raised them.
    if (!Data1->open(Query(CounterTable)) || !Data1->hasCurrent())
        return false;
    const auto below = [](qint64 typed, const QVariant &stored) {
        return !stored.isNull() && double(typed) < stored.toDouble();
    };
    return below(purchase, Data1->value(1)) || below(sales, Data1->value(2));
}

bool QitaFrm::writeFirstRow(const QString &table, const QVariantList &values)
{
    // Both tables hold exactly one row, written by position.
    bool stored = Data1->open(Query(table));
    if (stored && !Data1->hasCurrent()) {
        Messages::inform(this, QStringLiteral("%1 表中没有记录，设置未保存").arg(table));
        return false;
    }
    stored = stored && Data1->edit();
    for (int i = 0; i < values.size() && stored; ++i)
        stored = Data1->setValue(i + 1, values[i]);
    if (stored && Data1->update())
        return true;
    Data1->cancelUpdate();
    Messages::inform(this, Data1->lastError().text());
    return false;
}
