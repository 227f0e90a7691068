// Compiled as GBK: the faces and texts here are what the widgets hold.
#include "wizard/wizard_look.h"

namespace zsetup::look {

const ui::Font& FormFont() {
    static const ui::Font font{"宋体", 12, kGray, false, false};
    return font;
}
const ui::Font& Text() {
    static const ui::Font font{"微软雅黑", 12, kBlack, false, false};
    return font;
}
const ui::Font& GrayText() {
    static const ui::Font font{"微软雅黑", 12, kGray, false, false};
    return font;
}
const ui::Font& HeaderTitle() {
    static const ui::Font font{"微软雅黑", 12, kWhite, true, false};
    return font;
}
const ui::Font& HeaderText() {
    static const ui::Font font{"微软雅黑", 12, kWhite, false, false};
    return font;
}
const ui::Font& Link() {
    static const ui::Font font{"微软雅黑", 12, kGray, false, true};
    return font;
}

}  // namespace zsetup::look
