// The manifest is UTF-8; the record holds GBK. Converting a manifest text
// either gives its exact GBK bytes or fails naming the key, the value and the
// limit, so nothing is silently cut or replaced.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

namespace zsetup {

// Bad input in the manifest; what() is the message for the user.
class ManifestError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Nothing when the text is not valid UTF-8 or holds a character with no GBK form.
bool Utf8ToGbk(std::string_view utf8, std::string& gbk);
std::string GbkToUtf8(std::string_view gbk);

// The GBK bytes of a manifest value for a field of at most limit bytes.
std::string FieldText(std::string_view key, std::string_view utf8, std::size_t limit);

}  // namespace zsetup
