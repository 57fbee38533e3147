#include "help/bangzhufrm.h"
#include "support/testsupport.h"

#include <QImage>
#include <QListWidget>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTextImageFormat>

class tst_Bangzhufrm : public QObject
{
    Q_OBJECT

private slots:
    // The contents list names each chapter of the guide in order; choosing one brings its
    // heading to the top of the text.
    void theContentsLeadToEachChapter()
    {
        TempStore temp;
        BangzhuFrm guide(temp.store());
        guide.show();
        QVERIFY(QTest::qWaitForWindowExposed(&guide));
        auto *contents = findWidget<QListWidget>(&guide, "List1");
        auto *text = findWidget<QTextBrowser>(&guide, "Text1");
        QStringList chapters;
        for (int row = 0; row < contents->count(); ++row)
            chapters << contents->item(row)->text();
        QCOMPARE(chapters, (QStringList{"1. 首次登录与修改密码", "2. 基础资料",
                                        "3. 进货：登记、打印、入库", "4. 销售", "5. 库存",
                                        "6. 数据备份"}));

        int previousTop = -1;
        for (int row = 0; row < contents->count(); ++row) {
            contents->setCurrentRow(row);
            QApplication::processEvents();
            const int top = text->verticalScrollBar()->value();
            QVERIFY2(top > previousTop || top == text->verticalScrollBar()->maximum(),
                     qPrintable(chapters.at(row)));
            previousTop = top;
            // The heading is what the text shows first (or the text is at its end).
            const QTextCursor heading = text->document()->find(chapters.at(row));
            QVERIFY(!heading.isNull());
            const QRect shown = text->cursorRect(heading);
            QVERIFY2(shown.top() >= -2 && (shown.top() < 40 || top == text->verticalScrollBar()
                                                                          ->maximum()),
                     qPrintable(chapters.at(row)));
        }
    }

    // Every picture the guide shows is a resource of the program, not a broken link.
    void everyPictureIsThere()
    {
        TempStore temp;
        BangzhuFrm guide(temp.store());
        auto *text = findWidget<QTextBrowser>(&guide, "Text1");
        QTextDocument *document = text->document();
        QStringList pictures;
        for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
            for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
                const QTextCharFormat format = fragment.fragment().charFormat();
                if (format.isImageFormat())
                    pictures << format.toImageFormat().name();
            }
        }
        QVERIFY(pictures.size() >= 8);
        for (const QString &picture : pictures) {
            const QVariant image = document->resource(QTextDocument::ImageResource,
                                                      document->baseUrl().resolved(picture));
            QVERIFY2(!image.value<QImage>().isNull() || !image.value<QPixmap>().isNull(),
                     qPrintable(picture));
        }
    }
};

QTEST_MAIN(tst_Bangzhufrm)
#include "tst_bangzhufrm.moc"
