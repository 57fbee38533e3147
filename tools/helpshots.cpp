// Makes the pictures of the built-in guide from the real screens: a small shop's data is written
// into a fresh data folder, the screens are opened offscreen over it, filled as a clerk would
// fill them, and each is saved as a PNG at most 520 pixels wide.
//
//   cmake --build build --target herbdesk_helpshots
//   build/herbdesk_helpshots src/help/images
//
// With "--data FOLDER --today yyyy-MM-dd" the screens show that data folder instead (a copy of
// the benchmark's data, say), to look at them on a large data set; nothing is written there
// beyond what opening the files does.

#include "help/bangzhufrm.h"
#include "insight/insightscreens.h"
#include "maintenance/backuparchive.h"
#include "maintenance/restoredialog.h"
#include "purchasing/purchasingscreens.h"
#include "reference/referencescreens.h"
#include "sales/salesscreens.h"
#include "shell/childscreen.h"
#include "shell/herbdeskfrm.h"
#include "shell/logofrm.h"
#include "shell/messages.h"
#include "shell/screenregistry.h"
#include "stock/stockscreens.h"
#include "store/clock.h"
#include "store/store.h"

#include <QApplication>
#include <QComboBox>
#include <QCommandLineParser>
#include <QDir>
#include <QFont>
#include <QFontDatabase>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QSqlError>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <functional>

namespace {

constexpr int MaxWidth = 520;
const QDate SampleToday(2026, 11, 20);

// Message boxes would stop the run; none is expected.
class Silence : public Messages::Sink
{
public:
    void inform(const QString &text, const QString &) override { noted << text; }
    bool confirm(const QString &text) override
    {
        noted << text;
        return true;
    }
    bool retry(const QString &) override { return false; }
    QStringList noted;
};

void useProgramFont(QApplication &app)
{
    QFont font = app.font();
    const QString family = QStringLiteral("Noto Sans CJK SC");
    if (QFontDatabase::families().contains(family))
        font.setFamily(family);
    font.setPixelSize(12);
    app.setFont(font);
}

void run(Store &store, const QString &sql, const QVariantList &values = {})
{
    QSqlQuery query(store.database());
    query.prepare(sql);
    for (const QVariant &value : values)
        query.addBindValue(value);
    if (!query.exec())
        throw std::runtime_error((sql + ": " + query.lastError().text()).toStdString());
}

struct Herb
{
    const char *code, *name, *pinyin, *grade, *origin, *unit, *room, *supplier;
    double cost, price;
};

const Herb herbs[] = {
    {"1001", "当归", "DG", "统货", "甘肃岷县", "千克", "一号库", "亳州药材有限公司", 48, 66},
    {"1002", "黄芪", "HQ", "一等", "内蒙古", "千克", "一号库", "安国药业有限公司", 32, 45},
    {"1003", "甘草", "GC", "统货", "新疆", "千克", "一号库", "亳州药材有限公司", 18, 26},
    {"1004", "党参", "DS", "一等", "山西", "千克", "二号库", "安国药业有限公司", 55, 78},
    {"1005", "白芷", "BZ", "统货", "四川遂宁", "千克", "二号库", "成都中药饮片厂", 14, 21},
    {"1006", "川芎", "CX", "统货", "四川彭州", "千克", "二号库", "成都中药饮片厂", 26, 38},
    {"1007", "枸杞子", "GQZ", "特级", "宁夏中宁", "千克", "饮片库", "宁夏枸杞公司", 62, 88},
    {"1008", "金银花", "JYH", "一等", "河南封丘", "千克", "饮片库", "亳州药材有限公司", 150, 210},
    {"1009", "菊花", "JH", "统货", "浙江桐乡", "千克", "饮片库", "安国药业有限公司", 40, 58},
    {"1010", "茯苓", "FL", "统货", "云南", "千克", "一号库", "成都中药饮片厂", 22, 32},
};

const char *customers[] = {"仁和堂药店", "同济大药房", "百草中医诊所"};

// A small shop's year: the lists, the catalogue, a purchase and a sale most weeks, the stock they
// left (some of it expired or close to it), a few minimums and one purchase still being entered.
void writeSampleData(Store &store)
{
    run(store, "UPDATE gongsi SET 公司 = '岚溪药材行'");
    run(store, "INSERT INTO user (用户, 密码) VALUES ('张会计', '572946')");
    for (const char *room : {"一号库", "二号库", "饮片库"})
        run(store, "INSERT INTO kufang VALUES (?)", {QString::fromUtf8(room)});
    for (const char *unit : {"千克", "克", "袋"})
        run(store, "INSERT INTO danwei VALUES (?)", {QString::fromUtf8(unit)});
    for (const char *supplier : {"亳州药材有限公司", "安国药业有限公司", "成都中药饮片厂",
                                 "宁夏枸杞公司"})
        run(store, "INSERT INTO changjia (厂家) VALUES (?)", {QString::fromUtf8(supplier)});
    for (const char *customer : customers)
        run(store, "INSERT INTO yonghu (客户) VALUES (?)", {QString::fromUtf8(customer)});

    int step = 0;
    for (const Herb &herb : herbs) {
        const QVariantList herbValues = {herb.code, QString::fromUtf8(herb.name), herb.pinyin,
                                         QString::fromUtf8(herb.grade)};
        run(store, "INSERT INTO bianhao (编号, 品名, 拼音, 规格) VALUES (?, ?, ?, ?)", herbValues);
        run(store, "INSERT INTO yaocai (编号, 品名, 拼音, 规格, 产地, 销价, 单位, 库房, 厂家) "
                   "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)",
            herbValues + QVariantList{QString::fromUtf8(herb.origin), herb.price,
                                      QString::fromUtf8(herb.unit), QString::fromUtf8(herb.room),
                                      QString::fromUtf8(herb.supplier)});
        // Two batches of each herb in stock, one older, one newer.
        for (int batch = 0; batch < 2; ++batch) {
            const QDate made = SampleToday.addDays(-700 + batch * 420 - step * 9);
            const QDate expires = made.addYears(2);
            const double quantity = 20 + (step * 7 + batch * 13) % 60;
            run(store, "INSERT INTO kucun (编号, 品名, 拼音, 规格, 产地, 批号, 生产日期, 有效期, "
                       "单位, 库房, 厂家, 库存数量, 入库数量, 进价, 进价金额, 销价) VALUES "
                       "(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                herbValues + QVariantList{QString::fromUtf8(herb.origin),
                                          made.toString("yyMMdd") + QString::number(batch + 1),
                                          made.toString(Qt::ISODate),
                                          step == 3 && batch == 0 ? QVariant("两年")
                                                                  : expires.toString(Qt::ISODate),
                                          QString::fromUtf8(herb.unit),
                                          QString::fromUtf8(herb.room),
                                          QString::fromUtf8(herb.supplier), quantity,
                                          quantity + 20, herb.cost, quantity * herb.cost,
                                          herb.price});
        }
        ++step;
    }

    // A purchase and a sale of a few herbs about every ten days, the last one still pending.
    int document = 1;
    for (QDate day = SampleToday.addMonths(-12).addDays(3); day <= SampleToday;
         day = day.addDays(9 + document % 4), ++document) {
        const bool last = day.addDays(13) > SampleToday;
        for (int line = 0; line < 3; ++line) {
            const Herb &herb = herbs[(document * 3 + line) % 10];
            const double quantity = 10 + (document * 5 + line * 3) % 25;
            const QString dayText = day.toString(Qt::ISODate);
            run(store, "INSERT INTO jinhuo (单据号, 日期, 编号, 品名, 拼音, 规格, 产地, 批号, 有效期, "
                       "单位, 数量, 进价, 金额, 库房, 厂家, 入库) VALUES "
                       "(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                {QStringLiteral("JH%1%2").arg(day.toString("yyyyMMdd")).arg(document, 3, 10,
                                                                               QChar('0')),
                 dayText, herb.code, QString::fromUtf8(herb.name), herb.pinyin,
                 QString::fromUtf8(herb.grade), QString::fromUtf8(herb.origin),
                 day.toString("yyMMdd") + QString::number(line + 1),
                 day.addYears(2).toString(Qt::ISODate), QString::fromUtf8(herb.unit), quantity,
                 herb.cost, quantity * herb.cost, QString::fromUtf8(herb.room),
                 QString::fromUtf8(herb.supplier),
                 last ? QVariant() : QVariant(QStringLiteral("已入库"))});
            if (last)
                continue;
            const double sold = quantity * (0.6 + 0.1 * (document % 4));
            run(store, "INSERT INTO chuhuo (编号, 品名, 拼音, 规格, 批号, 产地, 单位, 数量, 销价, "
                       "金额, 日期, 单据号, 库房, 厂家, 购货单位, 出库) VALUES "
                       "(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, '已出库')",
                {herb.code, QString::fromUtf8(herb.name), herb.pinyin,
                 QString::fromUtf8(herb.grade), day.toString("yyMMdd") + QString::number(line + 1),
                 QString::fromUtf8(herb.origin), QString::fromUtf8(herb.unit), sold, herb.price,
                 sold * herb.price, day.addDays(2).toString(Qt::ISODate),
                 QStringLiteral("XS%1%2").arg(day.toString("yyyyMMdd")).arg(document, 3, 10,
                                                                              QChar('0')),
                 QString::fromUtf8(herb.room), QString::fromUtf8(herb.supplier),
                 QString::fromUtf8(customers[document % 3])});
        }
    }
    run(store, "UPDATE danjuhao SET 进货单号 = ?, 销售单号 = ?", {document, document});
    run(store, "INSERT INTO kucunxiaxian (编号, 下限) VALUES ('1001', 120), ('1004', 40), "
               "('1007', 150), ('1008', 30)");
}

// Shoots one picture: the widget as it shows now, at most MaxWidth wide.
void save(QWidget *widget, const QString &folder, const QString &name)
{
    QApplication::processEvents();
    QImage picture = widget->grab().toImage();
    if (picture.width() > MaxWidth)
        picture = picture.scaledToWidth(MaxWidth, Qt::SmoothTransformation);
    // A screen has few colours: a palette of 256 keeps the file about a third the size.
    picture = picture.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
    const QString path = QDir(folder).filePath(name + QStringLiteral(".png"));
    if (!picture.save(path, "PNG", 9))
        throw std::runtime_error(("cannot write " + path).toStdString());
    QTextStream(stdout) << path << "\n";
}

QLineEdit *box(QWidget *screen, const char *name)
{
    auto *found = screen->findChild<QLineEdit *>(QString::fromUtf8(name));
    if (!found)
        throw std::runtime_error(std::string("no box ") + name);
    return found;
}

void type(QWidget *screen, const char *name, const QString &text)
{
    QLineEdit *edit = box(screen, name);
    edit->setFocus();
    edit->clear();
    QTest::keyClicks(edit, text);
}

// Takes over the first batch of 当归, which expires within a month: the status line says so.
void pickNearBatch(QWidget *screen)
{
    type(screen, "Text3_2", QStringLiteral("dg"));
    QTest::keyClick(box(screen, "Text3_2"), Qt::Key_Down);
    if (QWidget *grid = screen->findChild<QWidget *>(QStringLiteral("DBGrid2")))
        QTest::keyClick(grid, Qt::Key_Return);
}

void showTab(QWidget *screen, int page)
{
    if (auto *tabs = screen->findChild<QTabWidget *>(QStringLiteral("TabStrip1")))
        tabs->setCurrentIndex(page);
}

struct Scene
{
    const char *file;
    const char *screen;
    std::function<void(ChildScreen *)> fill;
};

void shootLogin(Store &store, const ScreenRegistry &screens, const QString &folder)
{
    LogoFrm login(store, screens);
    login.show();
    if (auto *users = login.findChild<QComboBox *>(QStringLiteral("Combo1")))
        users->setCurrentIndex(0);
    box(&login, "Text1")->setText(QStringLiteral("572946"));
    save(&login, folder, QStringLiteral("login"));
}

// The list "恢复数据" shows, over two backups of the data made now.
void shootBackups(Store &store, const QString &folder)
{
    QTemporaryDir backups;
    const BackupArchive archive(backups.path());
    for (const auto reason : {BackupManifest::Reason::Automatic, BackupManifest::Reason::Manual}) {
        const BackupArchive::Made made = archive.create(store.folder(), reason);
        if (made.folder.isEmpty())
            throw std::runtime_error(made.problem.toStdString());
    }
    // The folder named is where a user's backups go by default.
    RestoreDialog list(archive.list(), QStringLiteral("~/.local/share/herbdesk/backup"));
    list.show();
    save(&list, folder, QStringLiteral("backup"));
}

void shootScreens(Store &store, const ScreenRegistry &screens, const QString &folder)
{
    HerbdeskFrm main(store, screens, Session{QStringLiteral("岚溪药材行")});
    main.show();
    const std::vector<Scene> scenes = {
        {"password", "mimafrm",
         [](ChildScreen *screen) {
             if (auto *users = screen->findChild<QComboBox *>(QStringLiteral("Combo1")))
                 users->setCurrentIndex(0);
             for (const char *name : {"Text1", "Text2", "Text3"})
                 box(screen, name)->setText(QStringLiteral("572946"));
         }},
        {"catalogue", "yaocaifrm", [](ChildScreen *screen) { type(screen, "Text2_2", "d"); }},
        {"purchase", "jinhuodjfrm", [](ChildScreen *screen) { type(screen, "Text3_2", "g"); }},
        {"sale", "xiaoshoufrm", [](ChildScreen *screen) { pickNearBatch(screen); }},
        {"stock", "kucunchafrm", {}},
        {"expiry", "xiaoqifrm", {}},
        {"lowstock", "yujingfrm", {}},
        {"overview", "gaikuangfrm", {}},
        {"overview-top", "gaikuangfrm", [](ChildScreen *screen) { showTab(screen, 1); }},
        {"overview-stock", "gaikuangfrm", [](ChildScreen *screen) { showTab(screen, 2); }},
    };
    for (const Scene &scene : scenes) {
        const QString name = QString::fromUtf8(scene.screen);
        if (!screens.contains(name)) {
            QTextStream(stderr) << "no screen " << name << " in this build; "
                                << scene.file << ".png not made\n";
            continue;
        }
        QMdiSubWindow *host = main.showScreen(name);
        auto *screen = qobject_cast<ChildScreen *>(host->widget());
        if (scene.fill)
            scene.fill(screen);
        save(host, folder, QString::fromUtf8(scene.file));
        host->close();
        // The closed window goes only when its deletion is processed; until then the main
        // window would show it again.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    useProgramFont(app);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("pictures of the screens for the guide"));
    parser.addHelpOption();
    const QCommandLineOption dataOption(QStringLiteral("data"),
                                        QStringLiteral("show this data folder"),
                                        QStringLiteral("folder"));
    const QCommandLineOption todayOption(QStringLiteral("today"),
                                         QStringLiteral("the day the screens take as today"),
                                         QStringLiteral("yyyy-MM-dd"));
    parser.addOptions({dataOption, todayOption});
    parser.addPositionalArgument(QStringLiteral("folder"), QStringLiteral("where the PNGs go"));
    parser.process(app);
    if (parser.positionalArguments().size() != 1)
        parser.showHelp(2);
    const QString output = parser.positionalArguments().first();
    QDir().mkpath(output);

    Silence silence;
    Messages::installSink(&silence);
    QTemporaryDir sample;
    Store store;
    try {
        if (parser.isSet(dataOption)) {
            if (!store.open(parser.value(dataOption)))
                throw std::runtime_error(store.lastError().text().toStdString());
            Clock::setToday(QDate::fromString(parser.value(todayOption), Qt::ISODate));
        } else {
            if (!store.open(QDir(sample.path()).filePath(QStringLiteral("sysfile"))))
                throw std::runtime_error(store.lastError().text().toStdString());
            Clock::setToday(SampleToday);
            writeSampleData(store);
        }
        ScreenRegistry screens;
        registerReferenceScreens(screens);
        registerPurchasingScreens(screens);
        registerSalesScreens(screens);
        registerStockScreens(screens);
        registerInsightScreens(screens);
        registerHelpScreens(screens);
        shootLogin(store, screens, output);
        shootScreens(store, screens, output);
        shootBackups(store, output);
    } catch (const std::exception &error) {
        QTextStream(stderr) << "helpshots: " << error.what() << "\n";
        return 1;
    }
    if (!silence.noted.isEmpty())
        QTextStream(stderr) << "messages: " << silence.noted.join(QStringLiteral(" / ")) << "\n";
    return 0;
}
