#pragma once

#include <QHash>
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QXmlStreamReader>

// A cell of an XLSX sheet as a reader finds it: "n:12.5" for a number (with "@<style>" when it
// has a style), "s:text" for a text.
struct Sheet
{
    QList<QStringList> rows;          // by row, the cells by column ("" where none)
    QHash<int, double> columnWidths;  // 1-based column -> width
    QString error;
};

// One member of a zip file, as `unzip -p` prints it.
inline QByteArray zipMember(const QString &zip, const QString &member, QString *error)
{
    QProcess unzip;
    unzip.start(QStringLiteral("unzip"), {QStringLiteral("-p"), zip, member});
    if (!unzip.waitForFinished(120000) || unzip.exitCode() != 0) {
        *error = QStringLiteral("unzip -p %1 %2 failed: %3")
                     .arg(zip, member, QString::fromLocal8Bit(unzip.readAllStandardError()));
        return {};
    }
    return unzip.readAllStandardOutput();
}

inline int columnOfReference(const QString &reference)
{
    int column = 0;
    for (const QChar character : reference) {
        if (!character.isLetter())
            break;
        column = column * 26 + (character.unicode() - 'A' + 1);
    }
    return column - 1;
}

// The first sheet of the workbook, read from its XML.
inline Sheet readSheet(const QString &path)
{
    Sheet sheet;
    const QByteArray xml = zipMember(path, QStringLiteral("xl/worksheets/sheet1.xml"),
                                     &sheet.error);
    if (xml.isEmpty())
        return sheet;
    QXmlStreamReader reader(xml);
    QString type;
    QString style;
    int column = 0;
    while (!reader.atEnd()) {
        reader.readNext();
        if (!reader.isStartElement())
            continue;
        const auto name = reader.name();
        const QXmlStreamAttributes attributes = reader.attributes();
        if (name == QLatin1String("col")) {
            const int first = attributes.value("min").toInt();
            sheet.columnWidths.insert(first, attributes.value("width").toDouble());
        } else if (name == QLatin1String("row")) {
            sheet.rows.append(QStringList());
        } else if (name == QLatin1String("c")) {
            column = columnOfReference(attributes.value("r").toString());
            type = attributes.value("t").toString();
            style = attributes.value("s").toString();
        } else if (name == QLatin1String("v") || name == QLatin1String("t")) {
            const QString text = reader.readElementText();
            QStringList &row = sheet.rows.last();
            while (row.size() <= column)
                row.append(QString());
            row[column] = type.isEmpty() || type == QLatin1String("n")
                ? QStringLiteral("n:") + text + (style.isEmpty() ? QString() : "@" + style)
                : QStringLiteral("s:") + text;
        }
    }
    if (reader.hasError())
        sheet.error = reader.errorString();
    return sheet;
}
