#include "shell/startup.h"

#include "shell/messages.h"
#include "store/folderlock.h"
#include "store/store.h"

#include <QDir>

namespace {

QString folderInUseText(const QString &folder, const FolderLock::Holder &holder)
{
    QStringList who;
    if (holder.pid > 0)
        who << QStringLiteral("进程号 %1").arg(holder.pid);
    if (!holder.appName.isEmpty())
        who << QStringLiteral("程序 %1").arg(holder.appName);
    if (!holder.hostName.isEmpty())
        who << QStringLiteral("计算机 %1").arg(holder.hostName);
    QString text = QStringLiteral("数据正被另一个运行中的程序使用：%1")
                       .arg(QDir::toNativeSeparators(folder));
    if (!who.isEmpty())
        text += QStringLiteral("\n（%1）").arg(who.join(QStringLiteral("，")));
    return text;
}

bool takeFolder(FolderLock &lock)
{
    while (!lock.tryLock()) {
        FolderLock::Holder holder;
        if (!lock.heldByOther(&holder)) {
            Messages::inform(nullptr, QStringLiteral("无法在数据文件夹 %1 中建立锁文件")
                                          .arg(QDir::toNativeSeparators(lock.folder())));
            return false;
        }
        if (!Messages::retry(nullptr, folderInUseText(lock.folder(), holder)))
            return false;
    }
    return true;
}

QString createMissingQuestion(const DataLocation &location, const QStringList &names)
{
    if (location.isServer()) {
        return QStringLiteral("数据库 %1 中缺少模式：%2\n新建的模式是空的，其中没有原来的数据。"
                              "要新建这些模式吗？")
            .arg(location.text(), names.join(QStringLiteral("、")));
    }
    return QStringLiteral("数据文件夹 %1 中缺少数据文件：%2\n新建的文件是空的，其中没有原来的数据。"
                          "要新建这些文件吗？")
        .arg(location.text(), names.join(QStringLiteral("、")));
}

} // namespace

bool openData(const DataLocation &location, std::optional<FolderLock> &lock, Store &store)
{
    if (!location.isServer()) {
        lock.emplace(location.folder);
        if (!takeFolder(*lock))
            return false;
    }
    Store::MissingFiles missing = Store::MissingFiles::Report;
    while (!store.open(location, missing)) {
        const StoreError error = store.lastError();
        switch (error.kind) {
        case StoreError::Kind::FilesMissing:
            if (!Messages::confirm(nullptr, createMissingQuestion(location, error.files)))
                return false;
            missing = Store::MissingFiles::Create;
            break;
        case StoreError::Kind::FileInUse:
            if (!Messages::retry(nullptr, error.action))
                return false;
            break;
        default:
            Messages::inform(nullptr, error.text());
            return false;
        }
    }
    return true;
}
