#include "builder/text_width.h"

#include <string>
#include <vector>

#include "text/gbk.h"

namespace zsetup {
namespace {

// Advance widths of ' ' .. '~' in thousandths of an em. The backslash mirrors
// the slash; the grave accent and the braces are taken from their neighbours.
constexpr int kAsciiWidth[95] = {
    296,  312, 436, 638, 586, 890, 870, 256,  334, 334, 455, 742, 241, 433, 241, 427,  // ' ' .. '/'
    586,  586, 586, 586, 586, 586, 586, 586,  586, 586, 241, 241, 742, 742, 742, 483,  // '0' .. '?'
    1031, 704, 627, 669, 762, 550, 531, 744,  773, 294, 396, 635, 513, 977, 813, 815,  // '@' .. 'O'
    612,  815, 653, 577, 573, 747, 676, 1018, 645, 604, 620, 334, 427, 334, 742, 448,  // 'P' .. '_'
    300,  553, 639, 501, 640, 567, 347, 640,  616, 266, 267, 544, 266, 937, 616, 636,  // '`' .. 'o'
    639,  640, 382, 463, 373, 616, 525, 790,  507, 529, 492, 334, 269, 334, 742,       // 'p' .. '~'
};

constexpr int kFullWidthPx = kWizardFontPx;

int Pixels(int thousandths) { return (thousandths * kWizardFontPx + 500) / 1000; }

bool IsBreak(char c) { return c == '\r' || c == '\n'; }

}  // namespace

int CharWidthPx(std::string_view gbk, std::size_t i) {
    if (GbkCharLength(gbk, i) == 2) return kFullWidthPx;
    const auto c = static_cast<unsigned char>(gbk[i]);
    if (c >= 0x20 && c <= 0x7E) return Pixels(kAsciiWidth[c - 0x20]);
    if (c == '\t') return Pixels(8 * kAsciiWidth[0]);  // a static control expands a tab to eight blanks
    return c < 0x20 ? 0 : kFullWidthPx;                // a lone lead byte: drawn as a box at most full width
}

int TextWidthPx(std::string_view gbk) {
    int width = 0;
    for (std::size_t i = 0; i < gbk.size(); i += GbkCharLength(gbk, i)) width += CharWidthPx(gbk, i);
    return width;
}

std::size_t FittingBytes(std::string_view gbk, int px) {
    int width = 0;
    std::size_t i = 0;
    while (i < gbk.size() && width + CharWidthPx(gbk, i) <= px) {
        width += CharWidthPx(gbk, i);
        i += GbkCharLength(gbk, i);
    }
    return i;
}

int WrappedLines(std::string_view gbk, int width_px) {
    int lines = 1, x = 0;
    std::size_t i = 0;
    while (i < gbk.size()) {
        if (IsBreak(gbk[i])) {  // "\r\n" is one break
            i += (gbk[i] == '\r' && i + 1 < gbk.size() && gbk[i + 1] == '\n') ? 2 : 1;
            ++lines;
            x = 0;
            continue;
        }
        if (gbk[i] == ' ') {  // blanks never start a wrapped line; at its end they may overhang
            x += CharWidthPx(gbk, i++);
            continue;
        }
        // The next unit that moves to a new line whole: one double-byte character or an ASCII word.
        std::size_t end = i + GbkCharLength(gbk, i);
        if (end - i == 1)
            while (end < gbk.size() && GbkCharLength(gbk, end) == 1 && gbk[end] != ' ' && !IsBreak(gbk[end])) ++end;
        const int unit = TextWidthPx(gbk.substr(i, end - i));
        if (x > 0 && x + unit > width_px) {
            ++lines;
            x = 0;
        }
        for (; i < end; i += GbkCharLength(gbk, i)) {  // a unit wider than the line breaks between characters
            const int w = CharWidthPx(gbk, i);
            if (x > 0 && x + w > width_px) {
                ++lines;
                x = 0;
            }
            x += w;
        }
    }
    return lines;
}

}  // namespace zsetup
