#include "vocabulary.h"

namespace Vocabulary {

const std::vector<Herb> &herbs()
{
    static const std::vector<Herb> list = {
        {"当归", "DG"},     {"黄芪", "HQ"},     {"人参", "RS"},     {"党参", "DS"},
        {"白术", "BZ"},     {"茯苓", "FL"},     {"甘草", "GC"},     {"川芎", "CX"},
        {"白芍", "BS"},     {"熟地黄", "SDH"},  {"生地黄", "SDH"},  {"枸杞子", "GQZ"},
        {"山药", "SY"},     {"黄连", "HL"},     {"黄芩", "HQ"},     {"黄柏", "HB"},
        {"金银花", "JYH"},  {"连翘", "LQ"},     {"板蓝根", "BLG"},  {"菊花", "JH"},
        {"桔梗", "JG"},     {"陈皮", "CP"},     {"半夏", "BX"},     {"厚朴", "HP"},
        {"苍术", "CZ"},     {"砂仁", "SR"},     {"木香", "MX"},     {"丹参", "DS"},
        {"红花", "HH"},     {"桃仁", "TR"},     {"赤芍", "CS"},     {"牛膝", "NX"},
        {"杜仲", "DZ"},     {"续断", "XD"},     {"独活", "DH"},     {"羌活", "QH"},
        {"防风", "FF"},     {"荆芥", "JJ"},     {"柴胡", "CH"},     {"升麻", "SM"},
        {"葛根", "GG"},     {"麻黄", "MH"},     {"桂枝", "GZ"},     {"细辛", "XX"},
        {"白芷", "BZ"},     {"薄荷", "BH"},     {"牛蒡子", "NBZ"},  {"蝉蜕", "CT"},
        {"知母", "ZM"},     {"天花粉", "THF"},  {"栀子", "ZZ"},     {"夏枯草", "XKC"},
        {"决明子", "JMZ"},  {"龙胆", "LD"},     {"苦参", "KS"},     {"大黄", "DH"},
        {"火麻仁", "HMR"},  {"泽泻", "ZX"},     {"猪苓", "ZL"},     {"薏苡仁", "YYR"},
        {"车前子", "CQZ"},  {"茵陈", "YC"},     {"金钱草", "JQC"},  {"附子", "FZ"},
        {"干姜", "GJ"},     {"肉桂", "RG"},     {"吴茱萸", "WZY"},  {"小茴香", "XHX"},
        {"香附", "XF"},     {"枳实", "ZS"},     {"枳壳", "ZQ"},     {"佛手", "FS"},
        {"山楂", "SZ"},     {"神曲", "SQ"},     {"麦芽", "MY"},     {"莱菔子", "LFZ"},
        {"三七", "SQ"},     {"白及", "BJ"},     {"艾叶", "AY"},     {"延胡索", "YHS"},
        {"郁金", "YJ"},     {"姜黄", "JH"},     {"益母草", "YMC"},  {"鸡血藤", "JXT"},
        {"莪术", "EZ"},     {"川贝母", "CBM"},  {"浙贝母", "ZBM"},  {"瓜蒌", "GL"},
        {"苦杏仁", "KXR"},  {"紫苏子", "ZSZ"},  {"百部", "BB"},     {"桑白皮", "SBP"},
        {"酸枣仁", "SZR"},  {"远志", "YZ"},     {"合欢皮", "HHP"},  {"天麻", "TM"},
        {"钩藤", "GT"},     {"石决明", "SJM"},  {"全蝎", "QX"},     {"僵蚕", "JC"},
        {"麦冬", "MD"},     {"天冬", "TD"},     {"石斛", "SH"},     {"玉竹", "YZ"},
        {"百合", "BH"},     {"北沙参", "BSS"},  {"女贞子", "NZZ"},  {"鹿茸", "LR"},
        {"淫羊藿", "YYH"},  {"巴戟天", "BJT"},  {"肉苁蓉", "RCR"},  {"菟丝子", "TSZ"},
        {"补骨脂", "BGZ"},  {"益智仁", "YZR"},  {"山茱萸", "SZY"},  {"五味子", "WWZ"},
        {"乌梅", "WM"},     {"莲子", "LZ"},     {"芡实", "QS"},     {"阿胶", "EJ"},
        {"何首乌", "HSW"},  {"龙眼肉", "LYR"},  {"大枣", "DZ"},     {"蒲公英", "PGY"},
        {"鱼腥草", "YXC"},  {"黄精", "HJ"},     {"西洋参", "XYS"},  {"太子参", "TZS"},
        {"灵芝", "LZ"},     {"白花蛇舌草", "BHSSC"},
    };
    return list;
}

const std::vector<Suffix> &suffixes()
{
    static const std::vector<Suffix> list = {
        {"", ""},       {"片", "P"},      {"段", "D"},       {"丝", "S"},
        {"粉", "F"},    {"(炒)", "C"},    {"(炙)", "Z"},     {"(酒制)", "JZ"},
    };
    return list;
}

const std::vector<const char *> &origins()
{
    static const std::vector<const char *> list = {
        "甘肃岷县", "甘肃陇西", "四川", "四川江油", "云南文山", "吉林抚松", "内蒙古", "河南焦作",
        "安徽亳州", "浙江", "湖北", "湖南", "山西", "陕西", "河北安国", "山东", "黑龙江", "广西",
        "广东", "贵州", "宁夏", "青海", "新疆", "江西", "江苏", "福建", "辽宁", "重庆", "西藏",
        "海南", "山西浑源", "浙江磐安", "河南禹州", "湖北罗田", "云南昭通", "四川都江堰",
    };
    return list;
}

const std::vector<const char *> &grades()
{
    static const std::vector<const char *> list = {
        "统货", "选货", "一等", "二等", "三等", "大货", "小货", "*",
    };
    return list;
}

const std::vector<const char *> &units()
{
    // Herbs are mostly traded by weight.
    static const std::vector<const char *> list = {"千克", "千克", "千克", "千克", "克", "袋"};
    return list;
}

const std::vector<const char *> &storeRooms()
{
    static const std::vector<const char *> list = {"一号库", "二号库", "三号库", "阴凉库",
                                                   "饮片库"};
    return list;
}

const std::vector<const char *> &categories()
{
    static const std::vector<const char *> list = {
        "根茎类", "果实种子类", "全草类", "花叶类", "皮类",
        "藤木类", "动物类",     "矿物类", "菌藻类", "树脂类",
    };
    return list;
}

const std::vector<const char *> &functions()
{
    static const std::vector<const char *> list = {
        "补虚药", "清热药", "解表药", "活血化瘀药", "理气药",   "化痰止咳平喘药",
        "安神药", "利水渗湿药", "温里药", "收涩药", "止血药", "消食药",
    };
    return list;
}

const std::vector<const char *> &places()
{
    static const std::vector<const char *> list = {
        "亳州", "安国", "玉林", "成都", "禹州", "樟树", "昆明", "西安", "兰州", "长沙",
        "南昌", "合肥", "济南", "石家庄", "太原", "郑州", "武汉", "贵阳", "南宁", "广州",
        "杭州", "南京", "福州", "沈阳", "长春", "哈尔滨", "西宁", "银川", "乌鲁木齐", "重庆",
    };
    return list;
}

const std::vector<const char *> &supplierKinds()
{
    static const std::vector<const char *> list = {"药材有限公司", "中药饮片厂",
                                                   "药业有限公司"};
    return list;
}

const std::vector<const char *> &customerKinds()
{
    static const std::vector<const char *> list = {
        "市人民医院", "市中医院", "大药房", "中医诊所", "国医馆", "县医院", "医药连锁",
        "卫生院", "药店", "中西医结合医院",
    };
    return list;
}

} // namespace Vocabulary
