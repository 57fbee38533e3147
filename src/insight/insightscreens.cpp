#include "insight/insightscreens.h"

#include "insight/gaikuangfrm.h"
#include "insight/xiaoqifrm.h"
#include "insight/xiaxianfrm.h"
#include "insight/yujingfrm.h"
#include "shell/screenregistry.h"

void registerInsightScreens(ScreenRegistry &registry)
{
    registry.add(QStringLiteral("xiaoqifrm"), [](Store &s) { return new XiaoqiFrm(s); });
    registry.add(QStringLiteral("yujingfrm"), [](Store &s) { return new YujingFrm(s); });
    registry.add(QStringLiteral("xiaxianfrm"), [](Store &s) { return new XiaxianFrm(s); });
    registry.add(QStringLiteral("gaikuangfrm"), [](Store &s) { return new GaikuangFrm(s); });
}
