#include "maintenance/backupsettingsdialog.h"

#include "shell/messages.h"

#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

constexpr int MostKept = 9999;

} // namespace

BackupSettingsDialog::BackupSettingsDialog(const BackupSettings &settings,
                                           const QString &defaultFolder, QWidget *parent)
    : QDialog(parent), m_settings(settings), m_defaultFolder(defaultFolder)
{
    setObjectName(QStringLiteral("beifenshezhifrm"));
    setWindowTitle(QStringLiteral("备份设置"));
    Text1 = new QLineEdit(QDir::toNativeSeparators(settings.folder), this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setMinimumWidth(360);
    Text1->setToolTip(QStringLiteral("留空则使用默认位置：%1")
                          .arg(QDir::toNativeSeparators(defaultFolder)));
    Command3 = new QPushButton(QStringLiteral("浏览..."), this);
    Command3->setObjectName(QStringLiteral("Command3"));
    Spin1 = new QSpinBox(this);
    Spin1->setObjectName(QStringLiteral("Spin1"));
    Spin1->setRange(1, MostKept);
    Spin1->setValue(qBound(1, settings.keep, MostKept));
    Spin1->setSuffix(QStringLiteral(" 份"));
    Check1 = new QCheckBox(QStringLiteral("退出程序时自动备份（每天最多一次）"), this);
    Check1->setObjectName(QStringLiteral("Check1"));
    Check1->setChecked(settings.automatic);
    Command1 = new QPushButton(QStringLiteral("确定"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setDefault(true);
    Command2 = new QPushButton(QStringLiteral("取消"), this);
    Command2->setObjectName(QStringLiteral("Command2"));

    auto *folderRow = new QHBoxLayout;
    folderRow->addWidget(Text1);
    folderRow->addWidget(Command3);
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("备份文件夹"), folderRow);
    form->addRow(QStringLiteral("保留最近的备份"), Spin1);
    form->addRow(QString(), Check1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);

    connect(Command3, &QPushButton::clicked, this, &BackupSettingsDialog::chooseFolder);
    connect(Command1, &QPushButton::clicked, this, &BackupSettingsDialog::acceptIfValid);
    connect(Command2, &QPushButton::clicked, this, &QDialog::reject);
}

BackupSettings BackupSettingsDialog::settings() const
{
    BackupSettings settings = m_settings;
    const QString folder = Text1->text().trimmed();
    settings.folder = folder.isEmpty() ? m_defaultFolder : QDir::fromNativeSeparators(folder);
    settings.keep = Spin1->value();
    settings.automatic = Check1->isChecked();
    return settings;
}

void BackupSettingsDialog::chooseFolder()
{
    const QString folder = QFileDialog::getExistingDirectory(this, QStringLiteral("备份文件夹"),
                                                             settings().folder);
    if (!folder.isEmpty())
        Text1->setText(QDir::toNativeSeparators(folder));
}

void BackupSettingsDialog::acceptIfValid()
{
    // A relative folder would depend on where the program was started from.
    const QString folder = Text1->text().trimmed();
    if (!folder.isEmpty() && QDir::isRelativePath(QDir::fromNativeSeparators(folder))) {
        Messages::inform(this, QStringLiteral("请输入完整的文件夹路径，如 %1")
                                   .arg(QDir::toNativeSeparators(m_defaultFolder)));
        Text1->setFocus();
        return;
    }
    accept();
}
