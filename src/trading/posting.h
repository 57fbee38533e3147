#pragma once

#include "store/cursor.h"
#include "store/storeerror.h"

#include <QString>

class Store;

// What sets one side's posting apart: the tables it writes, the word that names it and the
// counter of its document numbers.
struct PostingSide
{
    QString linesTable;   // "jinhuo"
    QString flagColumn;   // "入库": Null while a line is pending
    QString postedMark;   // "已入库"
    QString headerTable;  // "huodan": one row per posted document
    QString headerColumn; // "进货单": the header's number, its first column
    QString action;       // "入库": names the posting in its messages
    QString prefix;       // "JH"
    int counter = 0;      // position of the side's counter in danjuhao
};

// What the entry screen hands to a posting.
struct PostingRequest
{
    QString documentNumber; // the number shown on the screen, for the header and every line
    QString date;           // the header's date, left Null when empty
    QString partner;        // the header's supplier or customer, left Null when empty
    bool keepNumber = false; // post again under the same number: the counter stays
};

struct PostingResult
{
    bool ok = false;
    int postedLines = 0;
    QString documentNumber; // the number the lines were filed under; empty when none were
    QString nextNumber; // empty when nothing was posted
    StoreError error;
};

// Posts every pending line of a side in one transaction: the side's stock step for each line,
// then the line marked posted and filed under the document's number; one header under that
// number, the counter raised unless the number is kept, and the next number read. On any failure
// nothing is changed and the result carries the reason. With no pending line nothing is written.
//
// The counter row is locked before any stock row, so that postings of several clerks on a server follow one
// another. There the number is the counter's as found under the lock (today's date), unless the
// number is kept: the one on the clerk's screen may have been taken by another clerk meanwhile.
// In the files of one program it is the number on the screen.
class Posting
{
public:
    // The side must outlive the posting.
    Posting(Store &store, const PostingSide &side, const PostingRequest &request);
    virtual ~Posting();
    Posting(const Posting &) = delete;
    Posting &operator=(const Posting &) = delete;

    PostingResult run();

protected:
    // Moves the stock for the pending line the cursor stands on; false after fail().
    virtual bool moveStock(const Cursor &line) = 0;

    bool fail(const StoreError &error);
    // A reason the posting refuses, worded with the side's action ("入库失败").
    bool refuse(const QString &reason);
    // "第 3 行" and the line's code and name, to tell the clerk which line is meant.
    QString lineName(const Cursor &line) const;
    Store &store() const { return m_store; }

private:
    bool post();
    bool takeNumber();
    bool postLines();
    bool markLine();
    bool writeHeader();
    bool advanceCounter();

    Store &m_store;
    const PostingSide &m_side;
    const PostingRequest m_request;
    QString m_number;
    Cursor m_lines;
    PostingResult m_result;
};
