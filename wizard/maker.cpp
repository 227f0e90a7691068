// Compiled as GBK: the texts here are what the programs show.
#include "wizard/maker.h"

namespace zsetup::maker {

const char* CreditText() { return "Zoraq 出品"; }
const char* SiteText() { return "www.example.com"; }
const char* MessageCaption() { return " ZANTO"; }

const std::vector<std::string>& ProductProcesses() {
    static const std::vector<std::string> names = {"ZANTO-KPV.exe", "KPV-H-Up.exe"};
    return names;
}

}  // namespace zsetup::maker
