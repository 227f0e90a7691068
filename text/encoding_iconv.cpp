#include <iconv.h>

#include "text/encoding.h"

namespace zsetup {
namespace {

class Iconv {
public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Iconv() {
        if (ok()) iconv_close(cd_);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return cd_; }

private:
    iconv_t cd_;
};

bool Convert(std::string_view in, const char* from, const char* to, std::string& out) {
    Iconv cd(to, from);
    if (!cd.ok()) return false;
    // No character grows more than fourfold (one GBK byte can be three in UTF-8).
    std::string result(in.size() * 4 + 4, '\0');
    char* src = const_cast<char*>(in.data());
    std::size_t src_left = in.size();
    char* dst = result.data();
    std::size_t dst_left = result.size();
    if (iconv(cd.get(), &src, &src_left, &dst, &dst_left) == static_cast<std::size_t>(-1)) return false;
    result.resize(result.size() - dst_left);
    out = std::move(result);
    return true;
}

}  // namespace

bool Utf8ToGbk(std::string_view utf8, std::string& gbk) { return Convert(utf8, "UTF-8", "CP936", gbk); }
bool GbkToUtf8(std::string_view gbk, std::string& utf8) { return Convert(gbk, "CP936", "UTF-8", utf8); }

}  // namespace zsetup
