#pragma once

#include "action.h"

#include <QList>
#include <QPair>
#include <QVariantMap>
#include <vector>

class Bench;
class Engine;

// What sets one side of the trade (purchases or sales) apart in the benchmark: its screens,
// tables and boxes. Both sides are measured by the same actions, so a side is a few lines.
struct TradeSide
{
    QString group;                // "进货" or "销售"
    QString entryScreen;          // "jinhuodjfrm"
    QString searchTable;          // what entry searches: "yaocai" or "kucun"
    QString linesTable;           // "jinhuo"
    QString flagColumn;           // "入库"
    QString headerTable;          // "huodan"
    QString headerColumn;         // "进货单"
    QString partnerColumn;        // "厂家"
    QString lineQueryScreen;      // "jinhuochafrm"
    QString deleteAllButton;      // "Command2"
    QString documentQueryScreen;  // "jindanchafrm"
    QString documentPrefix;       // "JH"
    QString printWindow;          // what entry's print button opens: "jinhuodafrm"
    // Entry boxes and what a clerk types into them for one line of the given search-table row.
    std::function<QList<QPair<QString, QString>>(const QVariantMap &row)> lineBoxes;
    // The least SQL of posting every pending line, in one transaction.
    std::function<void(Engine &)> enginePost;
    // Sales only: enough stock for the lines the benchmark adds and posts, which the program
    // refuses otherwise.
    std::function<void(Engine &)> supplyStock;
};

void addTradeActions(Bench &bench, const TradeSide &side, std::vector<Action> &actions);

// Exactly `lines` lines of one large delivery are pending, copied from the latest posted ones.
void refillPending(Engine &engine, const TradeSide &side, int lines);

// A row from the middle of a table, by column name.
QVariantMap middleRow(Engine &engine, const QString &table);
