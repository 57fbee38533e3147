#include "screenactions.h"

#include "actionkit.h"
#include "bench.h"

namespace {

// The rows a main grid shows at once, about.
constexpr int GridPage = 20;

struct Opening
{
    const char *screen;
    const char *caption;
    // The least SQL, each statement read to its end; "%1" stands for the page size.
    std::vector<const char *> sql;
};

const std::vector<Opening> &openings()
{
    static const std::vector<Opening> list = {
        {"jinhuodjfrm", "进货登记",
         {"SELECT count(编号), sum(金额) FROM jinhuo WHERE 入库 IS NULL",
          "SELECT * FROM jinhuo WHERE 入库 IS NULL LIMIT %1", "SELECT 库房 FROM kufang",
          "SELECT 单位 FROM danwei", "SELECT 厂家 FROM changjia", "SELECT * FROM danjuhao"}},
        {"jinhuochafrm", "进货查询", {"SELECT 厂家 FROM changjia"}},
        {"jindanchafrm", "进货单据", {}},
        {"xiaoshoufrm", "销售开票",
         {"SELECT count(编号), sum(金额) FROM chuhuo WHERE 出库 IS NULL",
          "SELECT * FROM chuhuo WHERE 出库 IS NULL LIMIT %1", "SELECT 客户 FROM yonghu",
          "SELECT * FROM danjuhao"}},
        {"xiaoshouchafrm", "销售查询", {"SELECT 客户 FROM yonghu"}},
        {"chudanchafrm", "销售单据", {}},
        {"kucuncshfrm", "库存初始化", {"SELECT * FROM kucun LIMIT %1"}},
        {"kucunchafrm", "库存查询",
         {"SELECT count(编号), sum(进价金额) FROM kucun", "SELECT * FROM kucun LIMIT %1"}},
        {"baosunfrm", "库存报损", {"SELECT * FROM kucun LIMIT %1"}},
        {"yaocaifrm", "经营药材",
         {"SELECT * FROM yaocai LIMIT %1", "SELECT 库房 FROM kufang", "SELECT 单位 FROM danwei",
          "SELECT 厂家 FROM changjia", "SELECT 分类 FROM fenlei"}},
        {"binmingfrm", "药材字典",
         {"SELECT * FROM bianhao LIMIT %1", "SELECT 分类 FROM fenlei",
          "SELECT 库房 FROM kufang", "SELECT 功能 FROM gongneng"}},
        {"kufangfrm", "添加库房", {"SELECT * FROM kufang LIMIT %1"}},
        {"danweifrm", "计量单位", {"SELECT * FROM danwei LIMIT %1"}},
        {"fenleifrm", "药材分类", {"SELECT * FROM fenlei LIMIT %1"}},
        {"gongnengfrm", "药材功能", {"SELECT * FROM gongneng LIMIT %1"}},
        {"gonghuofrm", "供货单位", {"SELECT * FROM changjia LIMIT %1"}},
        {"kehufrm", "客户资料", {"SELECT * FROM yonghu LIMIT %1"}},
        {"yuangongfrm", "公司员工", {"SELECT * FROM yuangong LIMIT %1"}},
        {"yonghufrm", "用户设置", {"SELECT 用户 FROM \"user\""}},
        {"mimafrm", "密码设置", {"SELECT 用户 FROM \"user\""}},
        {"qitafrm", "其他设置", {"SELECT * FROM gongsi", "SELECT * FROM danjuhao"}},
    };
    return list;
}

} // namespace

QStringList menuScreens()
{
    QStringList names;
    for (const Opening &opening : openings())
        names << QString::fromUtf8(opening.screen);
    return names;
}

void addScreenOpenings(Bench &bench, std::vector<Action> &actions)
{
    for (const Opening &opening : openings()) {
        std::function<void(Engine &)> engine;
        if (!opening.sql.empty()) {
            QStringList statements;
            for (const char *text : opening.sql) {
                const QString sql = QString::fromUtf8(text);
                statements << (sql.contains(QLatin1String("%1")) ? sql.arg(GridPage) : sql);
            }
            engine = [statements](Engine &engine) {
                for (const QString &sql : statements)
                    engine.read(sql);
            };
        }
        actions.push_back(openScreenAction(bench, QStringLiteral("界面"),
                                           QString::fromUtf8(opening.screen),
                                           QString::fromUtf8(opening.caption), engine));
    }
}
