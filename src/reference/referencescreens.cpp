#include "reference/referencescreens.h"

#include "reference/binmingfrm.h"
#include "reference/lookuplistfrm.h"
#include "reference/mimafrm.h"
#include "reference/partnerfrm.h"
#include "reference/qitafrm.h"
#include "reference/yaocaifrm.h"
#include "reference/yonghufrm.h"
#include "shell/screenregistry.h"

void registerReferenceScreens(ScreenRegistry &registry)
{
    registry.add("binmingfrm", [](Store &s) { return new BinmingFrm(s); });
    registry.add("kufangfrm",
                 [](Store &s) { return new LookupListFrm(s, LookupLists::kufang()); });
    registry.add("danweifrm",
                 [](Store &s) { return new LookupListFrm(s, LookupLists::danwei()); });
    registry.add("fenleifrm",
                 [](Store &s) { return new LookupListFrm(s, LookupLists::fenlei()); });
    registry.add("gongnengfrm",
                 [](Store &s) { return new LookupListFrm(s, LookupLists::gongneng()); });
    registry.add("gonghuofrm", [](Store &s) { return new PartnerFrm(s, Partners::gonghuo()); });
    registry.add("kehufrm", [](Store &s) { return new PartnerFrm(s, Partners::kehu()); });
    registry.add("yuangongfrm", [](Store &s) { return new PartnerFrm(s, Partners::yuangong()); });
    registry.add("yonghufrm", [](Store &s) { return new YonghuFrm(s); });
    registry.add("mimafrm", [](Store &s) { return new MimaFrm(s); });
    registry.add("qitafrm", [](Store &s) { return new QitaFrm(s); });
    registry.add("yaocaifrm", [](Store &s) { return new YaocaiFrm(s); });
}
