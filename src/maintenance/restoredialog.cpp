#include "maintenance/restoredialog.h"

#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

// The tables whose rows tell a clerk which backup is which; the others show in the tooltip.
struct ShownTable
{
    const char *table;
    const char *caption;
};
const ShownTable shownTables[] = {
    {"jinhuo", "进货记录"},
    {"chuhuo", "销售记录"},
    {"kucun", "库存"},
    {"yaocai", "经营药材"},
};

QTableWidgetItem *cell(const QString &text, Qt::Alignment alignment = Qt::AlignLeft)
{
    auto *item = new QTableWidgetItem(text);
    item->setTextAlignment(alignment | Qt::AlignVCenter);
    return item;
}

QString allRows(const BackupManifest &manifest)
{
    QStringList lines;
    for (const TableRows &rows : manifest.tables)
        lines << QStringLiteral("%1：%2 行").arg(rows.table).arg(rows.rows);
    return lines.join(QLatin1Char('\n'));
}

} // namespace

RestoreDialog::RestoreDialog(const QList<BackupArchive::Entry> &backups, const QString &root,
                             QWidget *parent)
    : QDialog(parent), m_backups(backups)
{
    setObjectName(QStringLiteral("huifufrm"));
    setWindowTitle(QStringLiteral("恢复数据"));
    auto *where = new QLabel(
        QStringLiteral("备份文件夹：%1").arg(QDir::toNativeSeparators(root)), this);
    where->setObjectName(QStringLiteral("Label1"));
    backupList = new QTableWidget(this);
    backupList->setObjectName(QStringLiteral("backupList"));
    backupList->setSelectionBehavior(QAbstractItemView::SelectRows);
    backupList->setSelectionMode(QAbstractItemView::SingleSelection);
    backupList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    backupList->verticalHeader()->hide();
    Command1 = new QPushButton(QStringLiteral("恢复"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command2 = new QPushButton(QStringLiteral("取消"), this);
    Command2->setObjectName(QStringLiteral("Command2"));

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(where);
    layout->addWidget(backupList);
    layout->addLayout(buttons);
    fillList();
    resize(720, 360);

    Command1->setEnabled(!m_backups.isEmpty());
    connect(Command1, &QPushButton::clicked, this, &QDialog::accept);
    connect(Command2, &QPushButton::clicked, this, &QDialog::reject);
    connect(backupList, &QTableWidget::cellDoubleClicked, this, &QDialog::accept);
}

void RestoreDialog::fillList()
{
    QStringList headers{QStringLiteral("备份时间"), QStringLiteral("类型")};
    for (const ShownTable &shown : shownTables)
        headers << QString::fromUtf8(shown.caption);
    backupList->setColumnCount(headers.size());
    backupList->setHorizontalHeaderLabels(headers);
    backupList->setRowCount(m_backups.size());
    for (int row = 0; row < m_backups.size(); ++row) {
        const BackupArchive::Entry &entry = m_backups[row];
        if (!entry.manifest) {
            backupList->setItem(row, 0, cell(entry.name));
            backupList->setItem(row, 1, cell(QStringLiteral("无法读取：%1").arg(entry.problem)));
            backupList->setSpan(row, 1, 1, headers.size() - 1);
            continue;
        }
        const BackupManifest &manifest = *entry.manifest;
        backupList->setItem(
            row, 0, cell(manifest.time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))));
        backupList->setItem(row, 1, cell(manifest.reasonText()));
        int column = 2;
        for (const ShownTable &shown : shownTables) {
            const qint64 rows = manifest.rowsOf(QString::fromUtf8(shown.table));
            backupList->setItem(row, column++, cell(QString::number(rows), Qt::AlignRight));
        }
        for (int c = 0; c < headers.size(); ++c)
            backupList->item(row, c)->setToolTip(allRows(manifest));
    }
    // The time shows whole; the counts share the rest of the width.
    backupList->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    backupList->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    if (!m_backups.isEmpty())
        backupList->selectRow(0);
}

const BackupArchive::Entry &RestoreDialog::chosen() const
{
    return m_backups.at(qMax(0, backupList->currentRow()));
}
