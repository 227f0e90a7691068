// Compiled as GBK: the texts here are what the programs show.
#include "wizard/maker.h"

namespace zsetup {

const MakerLines& BuiltInMakerLines() {
    static const MakerLines lines{
        " ZANTO",
        "Zoraq 出品",
        "http://www.example.com",
        "www.example.com",
        "Zoraq安装程序",
        "   Zoraq提示：Zoraq软件已经安装,覆盖原来以前的吗？        ",
        "   Zoraq提示：文件资源校核不完整,继续吗？      ",
        "安装程序还没有完成,如果您现在关闭安装程序，程序将退出安装，\r您也可以稍后运行安装程序来完成安装。\r\n"
        "要继续安装，请单击“No”按钮；要退出安装，请单击“Yes”按钮。",
        "C:\\ZANTO-Y",
        "怎样加密？看看使用教程",
        {"ZANTO-KPV.exe", "KPV-H-Up.exe"},
    };
    return lines;
}

MakerLines MakerLinesOf(const MakerProfile& p) {
    MakerLines lines = BuiltInMakerLines();
    const auto take = [](std::string& line, const std::optional<std::string>& own) {
        if (own) line = *own;
    };
    take(lines.caption, p.caption);
    take(lines.credit, p.credit);
    take(lines.site, p.site);
    take(lines.site_text, p.site_text);
    take(lines.page_title, p.page_title);
    take(lines.installed_question, p.already_installed);
    take(lines.checksum_question, p.checksum_question);
    take(lines.quit_question, p.quit_question);
    take(lines.folder_example, p.folder_example);
    take(lines.tutorial_text, p.tutorial_text);
    if (p.processes) lines.processes = *p.processes;
    return lines;
}

}  // namespace zsetup
