#include "support/testsupport.h"

#include "export/sheetreader.h"
#include "export/listexport.h"
#include "store/query.h"

#include <QDir>
#include <QFile>
#include <csignal>
#include <optional>
#include <sys/resource.h>

namespace {

QByteArray contentsOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Keeps files from growing beyond a size while alive, as a full disk would.
class FullDisk
{
public:
    explicit FullDisk(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_before);
        rlimit limit = m_before;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FullDisk() { setrlimit(RLIMIT_FSIZE, &m_before); }

private:
    rlimit m_before;
};

// The partner list's columns: 厂家, 地址, 联系, 电话.
const Query Partners(QStringLiteral("changjia"));

} // namespace

class tst_ListExport : public QObject
{
    Q_OBJECT

    std::optional<TempStore> m_temp;
    QString m_out;

    Store &store() { return m_temp->store(); }
    QString outPath(const QString &name) const { return QDir(m_out).filePath(name); }

    // Purchase lines 1..count: code "0" + 5 digits, a date a day apart, quantity i, price 1.5.
    void addLines(int count)
    {
        m_temp->exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < ?)"
                     " INSERT INTO jinhuo (单据号, 日期, 编号, 品名, 数量, 进价, 金额)"
                     " SELECT 'JH' || (20260000 + i / 20), date('2020-01-01', '+' || (i % 2000)"
                     " || ' days'), printf('0%05d', i), '当归', i, 1.5, i * 1.5 FROM n",
                     {count});
    }

    // Nothing but the files the test expects is in the output folder.
    QStringList outFiles() const
    {
        return QDir(m_out).entryList(QDir::Files | QDir::Hidden);
    }

private slots:
    void init()
    {
        m_temp.emplace();
        QVERIFY(m_temp->isValid());
        m_out = QDir(m_temp->folder()).filePath("导出");
        QVERIFY(QDir().mkpath(m_out));
    }
    void cleanup() { m_temp.reset(); }

    void csvQuotesWhatWouldBreakAField()
    {
        m_temp->exec("INSERT INTO changjia VALUES (?, ?, ?, ?)",
                     {"岭南药业, 有限公司", "广州 \"白云\" 区", "张三\n李四", QVariant()});
        m_temp->exec("INSERT INTO changjia VALUES (?, ?, ?, ?)",
                     {"00123", " 空格 ", "一行\r\n两行", "020-8888"});
        const ExportOutcome outcome = exportList(store(), Partners, {}, ExportFormat::Csv,
                                                 outPath("厂家.csv"));
        QCOMPARE(outcome.result, ExportOutcome::Result::Written);
        QCOMPARE(outcome.rows, 2);
        QCOMPARE(contentsOf(outPath("厂家.csv")),
                 QByteArray("\xEF\xBB\xBF"
                            "厂家,地址,联系,电话\r\n"
                            "\"岭南药业, 有限公司\",\"广州 \"\"白云\"\" 区\",\"张三\n李四\",\r\n"
                            "00123, 空格 ,\"一行\r\n两行\",020-8888\r\n"));
        QCOMPARE(outFiles(), QStringList{"厂家.csv"});
    }

    void numbersShowAsTheGridShowsThem()
    {
        m_temp->exec("INSERT INTO jinhuo (单据号, 日期, 编号, 数量, 进价, 金额) VALUES "
                     "('JH1', '2026-05-06', 'DG01', 2.5, 3, 7.5), ('JH1', NULL, 'DG02', 0.1 + 0.2,"
                     " 1.005, NULL)");
        Query query("jinhuo");
        query.columns = QStringList{"编号", "日期", "数量", "进价", "金额"};
        const QList<ExportTotal> totals{{"品种数", "2"}, {"合计金额", "7.5"}};
        QVERIFY(exportList(store(), query, totals, ExportFormat::Csv, outPath("a.csv")).result
                == ExportOutcome::Result::Written);
        QCOMPARE(contentsOf(outPath("a.csv")),
                 QByteArray("\xEF\xBB\xBF"
                            "编号,日期,数量,进价,金额\r\n"
                            "DG01,2026-05-06,2.5,3.00,7.50\r\n"
                            "DG02,,0.3,1.01,\r\n"
                            "品种数,2,合计金额,7.5\r\n"));
    }

    void xlsxKeepsNumbersDatesAndTextApart()
    {
        m_temp->exec("INSERT INTO jinhuo (单据号, 日期, 编号, 品名, 数量, 进价, 金额, 有效期) VALUES"
                     " ('JH1', '2026-05-06', '00123', '当归', 2.5, 3, 7.5, '2027-05'),"
                     " ('JH1', NULL, 'DG02', '川芎 \"特级\", 统货', 4, NULL, 12, NULL)");
        Query query("jinhuo");
        query.columns = QStringList{"编号", "品名", "日期", "数量", "进价", "金额", "有效期"};
        const QList<ExportTotal> totals{{"品种数", "2"}, {"合计金额", "19.5"}, {"备注", "无"}};
        QCOMPARE(exportList(store(), query, totals, ExportFormat::Xlsx, outPath("a.xlsx")).result,
                 ExportOutcome::Result::Written);
        const Sheet sheet = readSheet(outPath("a.xlsx"));
        QVERIFY2(sheet.error.isEmpty(), qPrintable(sheet.error));
        QCOMPARE(sheet.rows.size(), 4);
        // The header in bold (style 1), as texts.
        QCOMPARE(sheet.rows[0], (QStringList{"s:编号", "s:品名", "s:日期", "s:数量", "s:进价",
                                             "s:金额", "s:有效期"}));
        // Codes keep their zeros; 2026-05-06 is day 46148 of the sheet's calendar, shown by a
        // date format; money has a format of two decimals; text dates are only text.
        const QStringList first = sheet.rows[1];
        QCOMPARE(first[0], QString("s:00123"));
        QCOMPARE(first[1], QString("s:当归"));
        QVERIFY2(first[2].startsWith("n:46148@"), qPrintable(first[2]));
        QCOMPARE(first[3], QString("n:2.5"));
        QVERIFY2(first[4].startsWith("n:3@"), qPrintable(first[4]));
        QVERIFY(first[5].startsWith("n:7.5@"));
        QCOMPARE(first[6], QString("s:2027-05"));
        const QString dateStyle = first[2].section('@', 1);
        const QString moneyStyle = first[4].section('@', 1);
        QVERIFY(dateStyle != moneyStyle);
        QCOMPARE(sheet.rows[2].mid(0, 4),
                 (QStringList{"s:DG02", "s:川芎 \"特级\", 统货", "", "n:4"}));
        QCOMPARE(sheet.rows[3], (QStringList{"s:品种数", "n:2", "s:合计金额", "n:19.5", "s:备注",
                                             "s:无"}));
        QString error;
        const QByteArray styles = zipMember(outPath("a.xlsx"), "xl/styles.xml", &error);
        QVERIFY(styles.contains("formatCode=\"yyyy-mm-dd\""));
        QVERIFY(styles.contains("formatCode=\"0.00\""));
        // Columns fitted: the long name is wider than the code, none narrower than its header.
        QVERIFY(sheet.columnWidths.value(2) > sheet.columnWidths.value(1));
        QVERIFY(sheet.columnWidths.value(3) >= 6);
        QCOMPARE(outFiles(), QStringList{"a.xlsx"});
    }

    // Every row of a large result goes into the file, far beyond what a grid reads at first.
    void everyRowOfALargeResult_data()
    {
        QTest::addColumn<ExportFormat>("format");
        QTest::newRow("csv") << ExportFormat::Csv;
        QTest::newRow("xlsx") << ExportFormat::Xlsx;
    }
    void everyRowOfALargeResult()
    {
        QFETCH(ExportFormat, format);
        constexpr int Rows = 200000;
        addLines(Rows);
        Query query("jinhuo", Filter::atLeast("日期", QDate(2020, 1, 1)));
        const QString path =
            outPath(format == ExportFormat::Csv ? "进货.csv" : "进货.xlsx");
        QList<qint64> reports;
        const ExportOutcome outcome = exportList(
            store(), query, {{"品种数", "200000"}}, format, path,
            [&reports](qint64 done, qint64 total) {
                if (total != Rows)
                    return false;
                reports << done;
                return true;
            });
        QCOMPARE(outcome.result, ExportOutcome::Result::Written);
        QCOMPARE(outcome.rows, Rows);
        QCOMPARE(reports.last(), Rows);

        // Each line read back: the code, the date and the quantity of row i.
        QStringList codes, dates, quantities, last;
        if (format == ExportFormat::Csv) {
            QList<QByteArray> lines = contentsOf(path).split('\n');
            QCOMPARE(lines.takeLast(), QByteArray());
            QCOMPARE(lines.size(), Rows + 2);
            for (int i = 1; i <= Rows; ++i) {
                const QStringList fields = QString::fromUtf8(lines[i].chopped(1)).split(',');
                codes << fields[2];
                dates << fields[1];
                quantities << fields[11];
            }
            last = QString::fromUtf8(lines.last().chopped(1)).split(',');
        } else {
            const Sheet sheet = readSheet(path);
            QVERIFY2(sheet.error.isEmpty(), qPrintable(sheet.error));
            QCOMPARE(sheet.rows.size(), Rows + 2);
            for (int i = 1; i <= Rows; ++i) {
                const QStringList &cells = sheet.rows[i];
                codes << cells[2].mid(2);
                dates << QDate(1899, 12, 30)
                             .addDays(cells[1].mid(2).section('@', 0, 0).toInt())
                             .toString(Qt::ISODate);
                quantities << cells[11].mid(2);
            }
            last = sheet.rows.last();
            for (QString &cell : last)
                cell = cell.mid(2);
        }
        for (int i = 1; i <= Rows; i += 997) {
            QCOMPARE(codes[i - 1], QString("0%1").arg(i, 5, 10, QChar('0')));
            QCOMPARE(dates[i - 1], QDate(2020, 1, 1).addDays(i % 2000).toString(Qt::ISODate));
            QCOMPARE(quantities[i - 1], QString::number(i));
        }
        QCOMPARE(codes.last(), QString("0200000"));
        QCOMPARE(codes.size(), Rows);
        QCOMPARE(last, (QStringList{"品种数", "200000"}));
    }

    void aStoppedExportLeavesTheOldFile_data()
    {
        QTest::addColumn<ExportFormat>("format");
        QTest::newRow("csv") << ExportFormat::Csv;
        QTest::newRow("xlsx") << ExportFormat::Xlsx;
    }
    void aStoppedExportLeavesTheOldFile()
    {
        QFETCH(ExportFormat, format);
        addLines(10000);
        const QString path = outPath("进货.dat");
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("上次导出的内容");
        old.close();
        const ExportOutcome outcome =
            exportList(store(), Query("jinhuo"), {}, format, path,
                       [](qint64 done, qint64) { return done < 4000; });
        QCOMPARE(outcome.result, ExportOutcome::Result::Stopped);
        QCOMPARE(outcome.rows, 4000);
        QCOMPARE(contentsOf(path), QByteArray("上次导出的内容"));
        QCOMPARE(outFiles(), QStringList{"进货.dat"});
    }

    void aFolderThatCannotBeWrittenIsReported_data()
    {
        QTest::addColumn<ExportFormat>("format");
        QTest::newRow("csv") << ExportFormat::Csv;
        QTest::newRow("xlsx") << ExportFormat::Xlsx;
    }
    void aFolderThatCannotBeWrittenIsReported()
    {
        QFETCH(ExportFormat, format);
        m_temp->exec("INSERT INTO changjia (厂家) VALUES ('岭南药业')");
        // A file stands where the folder should be.
        QFile blocker(outPath("不是文件夹"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const QString path = QDir(blocker.fileName()).filePath("厂家.xlsx");
        const ExportOutcome outcome = exportList(store(), Partners, {}, format, path);
        QCOMPARE(outcome.result, ExportOutcome::Result::Failed);
        QVERIFY2(outcome.problem.startsWith("无法写入文件 " + QDir::toNativeSeparators(path)),
                 qPrintable(outcome.problem));
    }

    void aFullDiskLeavesNothingHalfWritten_data()
    {
        QTest::addColumn<ExportFormat>("format");
        QTest::newRow("csv") << ExportFormat::Csv;
        QTest::newRow("xlsx") << ExportFormat::Xlsx;
    }
    void aFullDiskLeavesNothingHalfWritten()
    {
        QFETCH(ExportFormat, format);
        addLines(30000);
        const QString path = outPath("进货.out");
        ExportOutcome outcome;
        {
            const FullDisk full(256 * 1024);
            outcome = exportList(store(), Query("jinhuo"), {}, format, path);
        }
        QCOMPARE(outcome.result, ExportOutcome::Result::Failed);
        QVERIFY2(outcome.problem.startsWith("无法写入文件"), qPrintable(outcome.problem));
        QCOMPARE(outFiles(), QStringList());
    }
};

QTEST_MAIN(tst_ListExport)
#include "tst_listexport.moc"
