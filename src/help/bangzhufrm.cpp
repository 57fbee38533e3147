#include "help/bangzhufrm.h"

#include "shell/screenregistry.h"
#include "shell/twips.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>

// The guide lives in a static library, whose resources must be registered by hand (and outside
// any namespace).
static void registerGuide()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(help);
        return true;
    }();
    Q_UNUSED(registered);
}

namespace {

constexpr int ChapterRole = Qt::UserRole;

} // namespace

BangzhuFrm::BangzhuFrm(Store &store, QWidget *parent)
    : ChildScreen(store, QStringLiteral("bangzhufrm"), QStringLiteral("如何使用"), 11115, 6990,
                  parent),
      List1(new QListWidget(this)), Text1(new QTextBrowser(this))
{
    registerGuide();
    List1->setObjectName(QStringLiteral("List1"));
    List1->setFixedWidth(twips(2400));
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setOpenExternalLinks(false);
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(List1);
    layout->addWidget(Text1, 1);

    Text1->setSource(QUrl(QStringLiteral("qrc:/help/guide.html")));
    fillContents();
    connect(List1, &QListWidget::currentRowChanged, this, &BangzhuFrm::showChapter);
}

void BangzhuFrm::fillContents()
{
    for (QTextBlock block = Text1->document()->begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat().headingLevel() != 2)
            continue;
        QString anchor;
        for (auto fragment = block.begin(); !fragment.atEnd() && anchor.isEmpty(); ++fragment)
            anchor = fragment.fragment().charFormat().anchorNames().value(0);
        auto *item = new QListWidgetItem(block.text().trimmed(), List1);
        item->setData(ChapterRole, anchor);
    }
}

void BangzhuFrm::showChapter(int row)
{
    if (const QListWidgetItem *item = List1->item(row))
        Text1->scrollToAnchor(item->data(ChapterRole).toString());
}

void registerHelpScreens(ScreenRegistry &registry)
{
    registry.add(QStringLiteral("bangzhufrm"), [](Store &s) { return new BangzhuFrm(s); });
}
