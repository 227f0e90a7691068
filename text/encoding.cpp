#include "text/encoding.h"

namespace zsetup {

std::string GbkToUtf8(std::string_view gbk) {
    std::string utf8;
    if (!GbkToUtf8(gbk, utf8)) return std::string(gbk);
    return utf8;
}

}  // namespace zsetup
