#include "store/textfunctions.h"

#include <QChar>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QString>
#include <QVariant>

#include <sqlite3.h>

namespace {

void caseFold(sqlite3_context *context, int, sqlite3_value **arguments)
{
    sqlite3_value *value = arguments[0];
    if (sqlite3_value_type(value) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    // The text pointer comes first: asking for it may convert the value and change its size.
    const auto *text = static_cast<const char16_t *>(sqlite3_value_text16(value));
    const int bytes = sqlite3_value_bytes16(value);
    const QString folded = QString::fromUtf16(text, bytes / 2).toCaseFolded();
    sqlite3_result_text16(context, folded.utf16(), int(folded.size() * 2), SQLITE_TRANSIENT);
}

} // namespace

namespace TextFunctions {

bool install(const QSqlDatabase &db, StoreError *error)
{
    const QString action = QStringLiteral("无法注册文本函数 %1").arg(QLatin1String(FoldFunction));
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0) {
        *error = {action, QStringLiteral("数据库连接不是 SQLite")};
        return false;
    }
    sqlite3 *connection = *static_cast<sqlite3 *const *>(handle.constData());
    const int flags = SQLITE_UTF16 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
    const int status = sqlite3_create_function_v2(connection, FoldFunction, 1, flags, nullptr,
                                                  caseFold, nullptr, nullptr, nullptr);
    if (status != SQLITE_OK) {
        *error = {action, QString::fromUtf8(sqlite3_errstr(status))};
        return false;
    }
    return true;
}

bool hasCaseBeyondAscii(char32_t character)
{
    return character > 0x7f
           && (QChar::toCaseFolded(character) != character
               || QChar::toUpper(character) != character);
}

} // namespace TextFunctions
