// What the programs say of their maker: the credit line, the address shown
// at the lower left, the caption of their message boxes, and the product's
// own programs that are ended before files are written or removed. Texts are
// GBK.
#pragma once

#include <string>
#include <vector>

namespace zsetup::maker {

const char* CreditText();
const char* SiteText();
const char* MessageCaption();
const std::vector<std::string>& ProductProcesses();

}  // namespace zsetup::maker
