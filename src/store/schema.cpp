#include "store/schema.h"

#include "store/query.h"

namespace {

ColumnDef text(const char *name) { return {QString::fromUtf8(name), ColumnKind::Text}; }
ColumnDef number(const char *name) { return {QString::fromUtf8(name), ColumnKind::Number}; }
ColumnDef money(const char *name) { return {QString::fromUtf8(name), ColumnKind::Number, true}; }
ColumnDef date(const char *name) { return {QString::fromUtf8(name), ColumnKind::Date}; }
ColumnDef flag(const char *name) { return {QString::fromUtf8(name), ColumnKind::Flag}; }

TableDef oneColumnList(const char *table, const char *column)
{
    return {QString::fromUtf8(table), {text(column)}};
}

IndexDef byText(const char *table, const char *column)
{
    return {QString::fromUtf8(table), {QString::fromUtf8(column)}, true};
}

// The pending lines of a table, a handful among years of posted ones. Being partial, the index
// is the planner's choice for "flag IS NULL" whatever statistics it holds, and its entries come
// in table order.
IndexDef pending(const char *table, const char *flag)
{
    const QString column = QString::fromUtf8(flag);
    return {QString::fromUtf8(table), {column}, false, quotedName(column) + " IS NULL"};
}

// A date index that also carries the columns the queries total, so that the totals of a date
// range are read from the index alone.
IndexDef byDateWithTotals(const char *table)
{
    return {QString::fromUtf8(table),
            {QStringLiteral("日期"), QStringLiteral("编号"), QStringLiteral("数量"),
             QStringLiteral("金额")},
            false};
}

std::vector<FileDef> buildFiles()
{
    FileDef bianhao{
        "bianhao.db",
        "main",
        {
            {"gongsi", {text("公司")}},
            {"danjuhao", {number("进货单号"), number("销售单号")}},
            oneColumnList("kufang", "库房"),
            oneColumnList("danwei", "单位"),
            oneColumnList("fenlei", "分类"),
            oneColumnList("gongneng", "功能"),
            {"changjia", {text("厂家"), text("地址"), text("联系"), text("电话")}},
            {"yonghu", {text("客户"), text("地址"), text("联系"), text("电话")}},
            {"yuangong", {text("员工"), text("地址"), text("电话"), text("备注")}},
            {"bianhao",
             {text("编号"), text("品名"), text("拼音"), text("规格"), text("分类"), text("别名"),
              text("库房"), text("功能")}},
            {"yaocai",
             {text("编号"), text("品名"), text("拼音"), text("规格"), text("产地"), text("批号"),
              money("销价"), text("单位"), text("库房"), text("厂家"), text("分类")}},
        },
        {byText("bianhao", "编号"), byText("bianhao", "品名"), byText("bianhao", "拼音"),
         byText("yaocai", "编号"), byText("yaocai", "品名"), byText("yaocai", "拼音")},
        {},
        // The settings of the statistics views, one row per named value.
        {{"tongjicanshu", {text("名称"), text("值")}}},
    };
    FileDef userdb{"userdb.db", "userdb", {{"user", {text("用户"), text("密码")}}}, {}};
    FileDef jinhuo{
        "jinhuo.db",
        "jinhuo",
        {
            {"jinhuo",
             {text("单据号"), date("日期"), text("编号"), text("品名"), text("拼音"), text("规格"),
              text("产地"), text("生产日期"), text("批号"), text("有效期"), text("单位"),
              number("数量"), money("进价"), money("金额"), text("库房"), text("厂家"),
              flag("入库")}},
            {"huodan", {text("进货单"), text("日期"), text("厂家")}},
        },
        // The code index also holds the date, so that the latest purchase of a code (the
        // low-stock list's supplier and price) is one look-up.
        {pending("jinhuo", "入库"), byText("jinhuo", "单据号"), byDateWithTotals("jinhuo"),
         {QStringLiteral("jinhuo"), {QStringLiteral("编号"), QStringLiteral("日期")}, true},
         byText("jinhuo", "品名"), byText("jinhuo", "厂家"), byText("huodan", "进货单")},
        // A full index on the flag competed with the partial one, winning or losing by the
        // statistics of the day; the code index without the date is the one above's forerunner.
        {QStringLiteral("idx_jinhuo_入库"), QStringLiteral("idx_jinhuo_编号")},
    };
    FileDef kucun{
        "kucun.db",
        "kucun",
        {
            {"kucun",
             {text("编号"), text("品名"), text("拼音"), text("规格"), text("产地"), text("批号"),
              text("生产日期"), text("有效期"), text("单位"), text("库房"), text("厂家"),
              number("库存数量"), number("入库数量"), money("进价"), money("进价金额"),
              money("销价")}},
        },
        // The fourth index carries the two columns the stock query totals, so that the totals
        // of the whole stock are read from the index alone; the last, the quantity of each
        // code, so that the low-stock list sums every code's stock from it.
        {byText("kucun", "编号"), byText("kucun", "品名"), byText("kucun", "拼音"),
         {QStringLiteral("kucun"), {QStringLiteral("编号"), QStringLiteral("进价金额")}, false},
         {QStringLiteral("kucun"), {QStringLiteral("编号"), QStringLiteral("库存数量")}, true}},
        {},
        // The least quantity of each herb code that the dealer wants in stock.
        {{"kucunxiaxian", {text("编号"), number("下限")}}},
    };
    FileDef chuhuo{
        "chuhuo.db",
        "chuhuo",
        {
            {"chuhuo",
             {text("编号"), text("品名"), text("拼音"), text("规格"), text("批号"), text("产地"),
              text("生产日期"), text("有效期"), text("单位"), number("数量"), money("销价"),
              money("金额"), date("日期"), text("单据号"), text("库房"), text("厂家"),
              text("购货单位"), flag("出库")}},
            {"danju", {text("销售单"), text("日期"), text("购货单位")}},
        },
        {pending("chuhuo", "出库"), byText("chuhuo", "单据号"), byDateWithTotals("chuhuo"),
         byText("chuhuo", "编号"), byText("chuhuo", "品名"), byText("chuhuo", "购货单位"),
         byText("danju", "销售单")},
        {QStringLiteral("idx_chuhuo_出库")},
    };
    return {bianhao, userdb, jinhuo, kucun, chuhuo};
}

const TableDef *tableOfFile(const FileDef &file, const QString &tableName)
{
    for (const auto *defs : {&file.tables, &file.addedTables}) {
        for (const TableDef &def : *defs) {
            if (def.name == tableName)
                return &def;
        }
    }
    return nullptr;
}

} // namespace

const ColumnDef *TableDef::column(const QString &columnName) const
{
    for (const ColumnDef &def : columns) {
        if (def.name == columnName)
            return &def;
    }
    return nullptr;
}

namespace Schema {

const std::vector<FileDef> &files()
{
    static const std::vector<FileDef> all = buildFiles();
    return all;
}

const TableDef *table(const QString &tableName)
{
    for (const FileDef &file : files()) {
        if (const TableDef *def = tableOfFile(file, tableName))
            return def;
    }
    return nullptr;
}

const FileDef *fileOfTable(const QString &tableName)
{
    for (const FileDef &file : files()) {
        if (tableOfFile(file, tableName))
            return &file;
    }
    return nullptr;
}

QVariantList requiredRow(const QString &tableName)
{
    if (tableName == QLatin1String("gongsi"))
        return {QStringLiteral("岚溪材进销存")};
    if (tableName == QLatin1String("danjuhao"))
        return {1.0, 1.0};
    if (tableName == QLatin1String("user"))
        return {QStringLiteral("超级用户"), QStringLiteral("572946")};
    return {};
}

} // namespace Schema
