// GBK byte classes: a lead byte starts a double-byte character whose trail
// byte may be any of 0x40..0xFE, the backslash 0x5C included.
#pragma once

namespace zsetup {

inline bool IsGbkLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

}  // namespace zsetup
