#include "generator.h"

#include "sqlitedb.h"
#include "vocabulary.h"

#include "trading/documentnumber.h"
#include "store/schema.h"
#include "store/store.h"

#include <QDir>
#include <algorithm>
#include <cmath>
#include <random>

namespace {

constexpr quint64 Seed = 20261205;
// Lines of the last purchase and the last sale, left pending as a clerk leaves them.
constexpr int PendingPurchaseLines = 12;
constexpr int PendingSalesLines = 8;
// Catalogue rows per product: one per place of origin.
constexpr int OriginsPerProduct = 4;
// How far back a line reaches for the batch it trades: mostly recent ones.
constexpr int RecentBatches = 3000;

class Random
{
public:
    explicit Random(quint64 seed) : m_engine(seed) {}

    int below(int n) { return int(m_engine() % quint64(n)); }
    double unit() { return double(m_engine() >> 11) * (1.0 / 9007199254740992.0); }
    // Low indexes far more often: a few products make most of the trade.
    int skewed(int n) { return std::min(n - 1, int(n * unit() * unit())); }
    QString pick(const std::vector<const char *> &list)
    {
        return QString::fromUtf8(list[below(int(list.size()))]);
    }

private:
    std::mt19937_64 m_engine;
};

double cents(double value)
{
    return std::round(value * 100) / 100;
}

QString dayText(const QDate &day)
{
    return day.toString(QStringLiteral("yyyy-MM-dd"));
}

struct Product
{
    QString code, name, pinyin, grade, unit, category;
    double cost;
};

struct CatalogueRow
{
    int product;
    QString origin, storeRoom, supplier;
    double salePrice;
};

struct Batch
{
    int row; // catalogue row
    QString number, made, expires;
    double bought = 0, boughtAmount = 0, sold = 0;
};

// Bulk insert into one table, in one transaction.
class TableWriter
{
public:
    TableWriter(SqliteDb &db, const QString &table) : m_db(db)
    {
        const TableDef *def = Schema::table(table);
        QStringList names, marks;
        for (const ColumnDef &column : def->columns) {
            names << quotedName(column.name);
            marks << QStringLiteral("?");
        }
        m_db.exec(QStringLiteral("BEGIN"));
        m_insert = std::make_unique<SqliteStatement>(
            db.handle(), QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                             .arg(quotedName(table), names.join(','), marks.join(',')));
    }

    void add(const QVariantList &values)
    {
        m_insert->bindAll(values);
        m_insert->step();
        m_insert->reset();
    }

    void commit()
    {
        m_insert.reset();
        m_db.exec(QStringLiteral("COMMIT"));
    }

private:
    SqliteDb &m_db;
    std::unique_ptr<SqliteStatement> m_insert;
};

// A bulk connection: durability and a small cache would only slow the filling down; neither
// setting is kept in the file.
std::unique_ptr<SqliteDb> openForFilling(const QString &folder, const char *file)
{
    auto db = std::make_unique<SqliteDb>(QDir(folder).filePath(QString::fromUtf8(file)));
    db->exec(QStringLiteral("PRAGMA synchronous=OFF"));
    db->exec(QStringLiteral("PRAGMA journal_mode=MEMORY"));
    db->exec(QStringLiteral("PRAGMA cache_size=-262144"));
    return db;
}

class Trade
{
public:
    Trade(const DataSize &size, const QDate &lastDay, const QString &folder,
          const std::function<void(const QString &)> &progress)
        : m_size(size), m_firstDay(lastDay.addYears(-10).addDays(1)),
          m_days(int(m_firstDay.daysTo(lastDay)) + 1), m_folder(folder), m_progress(progress),
          m_random(Seed)
    {
    }

    void write()
    {
        makePartners();
        makeCatalogue();
        writeReferenceFile();
        writePurchases();
        writeSales();
        writeStock();
        writeCounters();
    }

private:
    // Spreads `count` lines over the ten years: the first on the first day, the last on the
    // last day.
    QDate dayOf(qint64 index, qint64 count) const
    {
        return m_firstDay.addDays(index * (m_days - 1) / std::max<qint64>(1, count - 1));
    }

    void makePartners();
    void makeCatalogue();
    void writeReferenceFile();
    void writePurchases();
    void writeSales();
    void writeStock();
    void writeCounters();
    int recentBatch(int available);
    void newBatch(const QDate &day);

    const DataSize m_size;
    const QDate m_firstDay;
    const int m_days;
    const QString m_folder;
    const std::function<void(const QString &)> m_progress;
    Random m_random;
    QStringList m_suppliers;
    QStringList m_customers;
    std::vector<Product> m_products;
    std::vector<CatalogueRow> m_catalogue;
    std::vector<Batch> m_batches;
    qint64 m_purchaseCounter = 1;
    qint64 m_salesCounter = 1;
};

void Trade::makePartners()
{
    for (const char *place : Vocabulary::places()) {
        for (const char *kind : Vocabulary::supplierKinds())
            m_suppliers << QString::fromUtf8(place) + QString::fromUtf8(kind);
        for (const char *kind : Vocabulary::customerKinds())
            m_customers << QString::fromUtf8(place) + QString::fromUtf8(kind);
    }
}

void Trade::makeCatalogue()
{
    const auto &herbs = Vocabulary::herbs();
    const auto &suffixes = Vocabulary::suffixes();
    const int productCount = m_size.catalogueRows() / OriginsPerProduct;
    std::vector<int> perHerb(herbs.size());
    for (int p = 0; p < productCount; ++p) {
        const int herb = p % int(herbs.size());
        const auto &suffix = suffixes[m_random.below(int(suffixes.size()))];
        Product product;
        product.code = QStringLiteral("%1%2").arg(101 + herb, 3, 10, QLatin1Char('0'))
                           .arg(++perHerb[herb], 3, 10, QLatin1Char('0'));
        product.name = QString::fromUtf8(herbs[herb].name) + QString::fromUtf8(suffix.text);
        product.pinyin = QString::fromUtf8(herbs[herb].initials)
                         + QString::fromUtf8(suffix.initials);
        product.grade = m_random.pick(Vocabulary::grades());
        product.unit = m_random.pick(Vocabulary::units());
        product.category = QString::fromUtf8(
            Vocabulary::categories()[herb % Vocabulary::categories().size()]);
        product.cost = cents(5 + 295 * m_random.unit() * m_random.unit());
        m_products.push_back(product);

        // Distinct places of origin for the product's catalogue rows.
        const int places = int(Vocabulary::origins().size());
        const int first = m_random.below(places);
        for (int o = 0; o < OriginsPerProduct; ++o) {
            m_catalogue.push_back(
                {p, QString::fromUtf8(Vocabulary::origins()[(first + o * 7) % places]),
                 m_random.pick(Vocabulary::storeRooms()),
                 m_suppliers[m_random.below(int(m_suppliers.size()))],
                 cents(product.cost * (1.25 + 0.2 * m_random.unit()))});
        }
    }
}

void Trade::writeReferenceFile()
{
    m_progress(QStringLiteral("catalogue"));
    auto db = openForFilling(m_folder, "bianhao.db");
    const auto oneColumn = [&db](const char *table, const std::vector<const char *> &values) {
        TableWriter writer(*db, QString::fromUtf8(table));
        for (const char *value : values)
            writer.add({QString::fromUtf8(value)});
        writer.commit();
    };
    oneColumn("kufang", Vocabulary::storeRooms());
    oneColumn("danwei", {"千克", "克", "袋", "盒", "件"});
    oneColumn("fenlei", Vocabulary::categories());
    oneColumn("gongneng", Vocabulary::functions());

    TableWriter suppliers(*db, QStringLiteral("changjia"));
    for (int i = 0; i < m_suppliers.size(); ++i) {
        suppliers.add({m_suppliers[i], QStringLiteral("工业园区%1号").arg(i + 1),
                       QStringLiteral("王经理"), QStringLiteral("0558-%1").arg(5550000 + i)});
    }
    suppliers.commit();
    TableWriter customers(*db, QStringLiteral("yonghu"));
    for (int i = 0; i < m_customers.size(); ++i) {
        customers.add({m_customers[i], QStringLiteral("人民路%1号").arg(i + 1),
                       QStringLiteral("李主任"), QStringLiteral("0551-%1").arg(6660000 + i)});
    }
    customers.commit();

    TableWriter dictionary(*db, QStringLiteral("bianhao"));
    const auto &herbs = Vocabulary::herbs();
    for (int h = 0; h < int(herbs.size()); ++h) {
        const auto &suffixes = Vocabulary::suffixes();
        for (int s = 0; s < int(suffixes.size()); ++s) {
            dictionary.add({QStringLiteral("%1%2").arg(101 + h, 3, 10, QLatin1Char('0')).arg(s),
                            QString::fromUtf8(herbs[h].name) + QString::fromUtf8(suffixes[s].text),
                            QString::fromUtf8(herbs[h].initials)
                                + QString::fromUtf8(suffixes[s].initials),
                            QStringLiteral("*"),
                            QString::fromUtf8(Vocabulary::categories()[h % 10]), QVariant(),
                            m_random.pick(Vocabulary::storeRooms()),
                            m_random.pick(Vocabulary::functions())});
        }
    }
    dictionary.commit();

    TableWriter catalogue(*db, QStringLiteral("yaocai"));
    for (const CatalogueRow &row : m_catalogue) {
        const Product &product = m_products[row.product];
        catalogue.add({product.code, product.name, product.pinyin, product.grade, row.origin,
                       QVariant(), row.salePrice, product.unit, row.storeRoom, row.supplier,
                       product.category});
    }
    catalogue.commit();
}

void Trade::newBatch(const QDate &day)
{
    Batch batch;
    batch.row = m_random.skewed(int(m_catalogue.size()));
    batch.number = day.toString(QStringLiteral("yyMMdd"))
                   + QString::number(10 + m_random.below(90));
    const QDate made = day.addDays(-30 - m_random.below(180));
    batch.made = dayText(made);
    batch.expires = dayText(made.addYears(2 + m_random.below(2)));
    m_batches.push_back(batch);
}

int Trade::recentBatch(int available)
{
    return available - 1 - m_random.skewed(std::min(available, RecentBatches));
}

void Trade::writePurchases()
{
    m_progress(QStringLiteral("purchase lines"));
    auto db = openForFilling(m_folder, "jinhuo.db");
    TableWriter lines(*db, QStringLiteral("jinhuo"));
    QList<QVariantList> headers;
    const qint64 total = m_size.purchaseLines();
    const qint64 posted = total - PendingPurchaseLines;
    const qint64 batches = m_size.stockRows();
    qint64 line = 0;
    while (line < total) {
        const bool pending = line >= posted;
        const qint64 documentLines = pending ? total - line
                                             : std::min<qint64>(5 + m_random.below(31),
                                                                posted - line);
        const QDate day = dayOf(std::min(line, posted - 1), posted);
        const QString number = DocumentNumber::make(QStringLiteral("JH"), day, m_purchaseCounter);
        const QString supplier = m_suppliers[m_random.skewed(int(m_suppliers.size()))];
        for (qint64 i = 0; i < documentLines; ++i, ++line) {
            // Every batch arrives with a purchase; the others top up a recent batch.
            int index;
            if (!pending && qint64(m_batches.size()) < batches
                && qint64(m_batches.size()) * posted <= line * batches) {
                newBatch(day);
                index = int(m_batches.size()) - 1;
            } else {
                index = recentBatch(int(m_batches.size()));
            }
            Batch &batch = m_batches[index];
            const CatalogueRow &row = m_catalogue[batch.row];
            const Product &product = m_products[row.product];
            const double quantity = 5 * (1 + m_random.below(40));
            const double price = cents(product.cost * (0.9 + 0.2 * m_random.unit()));
            const double amount = cents(quantity * price);
            if (!pending) {
                batch.bought += quantity;
                batch.boughtAmount += amount;
            }
            lines.add({number, dayText(day), product.code, product.name, product.pinyin,
                       product.grade, row.origin, batch.made, batch.number, batch.expires,
                       product.unit, quantity, price, amount, row.storeRoom, supplier,
                       pending ? QVariant() : QVariant(QStringLiteral("已入库"))});
        }
        if (!pending) {
            headers.append({number, dayText(day), supplier});
            ++m_purchaseCounter;
        }
    }
    lines.commit();
    TableWriter documents(*db, QStringLiteral("huodan"));
    for (const QVariantList &header : std::as_const(headers))
        documents.add(header);
    documents.commit();
}

void Trade::writeSales()
{
    m_progress(QStringLiteral("sales lines"));
    auto db = openForFilling(m_folder, "chuhuo.db");
    TableWriter lines(*db, QStringLiteral("chuhuo"));
    QList<QVariantList> headers;
    const qint64 total = m_size.salesLines();
    const qint64 posted = total - PendingSalesLines;
    const qint64 batches = qint64(m_batches.size());
    qint64 line = 0;
    while (line < total) {
        const bool pending = line >= posted;
        const qint64 documentLines = pending ? total - line
                                             : std::min<qint64>(5 + m_random.below(31),
                                                                posted - line);
        const QDate day = dayOf(std::min(line, posted - 1), posted);
        const QString number = DocumentNumber::make(QStringLiteral("XS"), day, m_salesCounter);
        const QString customer = m_customers[m_random.skewed(int(m_customers.size()))];
        for (qint64 i = 0; i < documentLines; ++i, ++line) {
            // Sales draw on the batches bought by then, a batch with stock left where possible.
            const int available = int(std::min(batches, line * batches / posted + 1));
            int index = recentBatch(available);
            for (int attempt = 0; attempt < 8; ++attempt) {
                if (m_batches[index].bought - m_batches[index].sold > 0)
                    break;
                index = recentBatch(available);
            }
            Batch &batch = m_batches[index];
            const CatalogueRow &row = m_catalogue[batch.row];
            const Product &product = m_products[row.product];
            double quantity = 1 + m_random.below(20);
            const double left = batch.bought - batch.sold;
            if (left > 0)
                quantity = std::min(quantity, left);
            const double price = cents(row.salePrice * (0.95 + 0.1 * m_random.unit()));
            if (!pending)
                batch.sold += quantity;
            lines.add({product.code, product.name, product.pinyin, product.grade, batch.number,
                       row.origin, batch.made, batch.expires, product.unit, quantity, price,
                       cents(quantity * price), dayText(day), number, row.storeRoom,
                       row.supplier, customer,
                       pending ? QVariant() : QVariant(QStringLiteral("已出库"))});
        }
        if (!pending) {
            headers.append({number, dayText(day), customer});
            ++m_salesCounter;
        }
    }
    lines.commit();
    TableWriter documents(*db, QStringLiteral("danju"));
    for (const QVariantList &header : std::as_const(headers))
        documents.add(header);
    documents.commit();
}

void Trade::writeStock()
{
    m_progress(QStringLiteral("stock"));
    auto db = openForFilling(m_folder, "kucun.db");
    TableWriter stock(*db, QStringLiteral("kucun"));
    for (const Batch &batch : m_batches) {
        const CatalogueRow &row = m_catalogue[batch.row];
        const Product &product = m_products[row.product];
        const double cost = cents(batch.boughtAmount / batch.bought);
        const double onHand = batch.bought - batch.sold;
        stock.add({product.code, product.name, product.pinyin, product.grade, row.origin,
                   batch.number, batch.made, batch.expires, product.unit, row.storeRoom,
                   row.supplier, onHand, batch.bought, cost, cents(onHand * cost),
                   row.salePrice});
    }
    stock.commit();
}

void Trade::writeCounters()
{
    auto db = openForFilling(m_folder, "bianhao.db");
    SqliteStatement counters(db->handle(),
                             QStringLiteral("UPDATE danjuhao SET 进货单号 = ?, 销售单号 = ?"));
    counters.bindAll({double(m_purchaseCounter), double(m_salesCounter)});
    counters.step();
}

} // namespace

std::optional<DataSize> dataSizeNamed(const QString &label)
{
    for (const DataSize &size : {DataSize{QStringLiteral("0.1"), 0.1},
                                 DataSize{QStringLiteral("1"), 1.0},
                                 DataSize{QStringLiteral("5"), 5.0}}) {
        if (size.label == label)
            return size;
    }
    return std::nullopt;
}

Generator::Generator(const DataSize &size, const QDate &lastDay)
    : m_size(size), m_lastDay(lastDay)
{
}

void Generator::write(const QString &sysfileFolder,
                      const std::function<void(const QString &)> &progress)
{
    {
        // The program makes its own files: tables, required rows and indexes.
        Store store;
        if (!store.open(sysfileFolder))
            throw SqliteError(store.lastError().text().toStdString());
    }
    Trade(m_size, m_lastDay, sysfileFolder, progress).write();
}
