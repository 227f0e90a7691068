#include "builder/wizard_fit.h"

#include "builder/text_width.h"
#include "text/encoding.h"

namespace zsetup {
namespace {

std::string Gbk(const char* utf8) {
    std::string gbk;
    Utf8ToGbk(utf8, gbk);  // the table's own texts: all have a GBK form
    return gbk;
}

// The text a label of the table shows for the record.
std::string Value(const WizardLabel& label, const SetupConfig& r) {
    const std::string key = label.key;
    if (key == "product.name") return r.ProductName.text();
    if (key == "product.version") return r.Version.text();
    if (key == "product.introduction") return r.Introduction.text();
    if (key == "product.default_folder") return r.DefaultFolderName.text();
    return {};
}

std::string Where(const WizardLabel& label) {
    return "page " + std::to_string(label.page) + "'s " + label.role + " (" + label.control + ", " +
           std::to_string(label.width) + (label.wraps ? " x " + std::to_string(label.height) : std::string()) + " px)";
}

std::string Shown(const std::string& gbk) { return "\"" + GbkToUtf8(gbk) + "\""; }

}  // namespace

const std::vector<WizardLabel>& WizardLabels() {
    static const std::vector<WizardLabel> labels = {
        {"product.name", 0, "product name", "NameLb", 330, 17, false, "", ""},
        {"product.name", 0, "subtitle", "Label12", 440, 17, false, "本安装程序将", "软件安装到您的计算机上"},
        {"product.name", 5, "hint", "Label6", 330, 17, false, "请双击", "图标运行软件。"},
        {"product.version", 0, "version", "VerLb", 330, 17, false, "", ""},
        {"product.introduction", 0, "introduction", "IntroLb", 245, 80, true, "", ""},
        // The wizard proposes C:\ or D:\ and the default folder; D is the wider letter.
        {"product.default_folder", 3, "target folder", "FolderLb", 200, 17, true, "D:\\", ""},
    };
    return labels;
}

std::vector<FitWarning> WizardFitWarnings(const SetupConfig& record) {
    std::vector<FitWarning> warnings;
    for (const WizardLabel& label : WizardLabels()) {
        const std::string value = Value(label, record);
        if (value.empty()) continue;
        const std::string text = Gbk(label.head) + value + Gbk(label.tail);
        const std::string framed = *label.head || *label.tail ? " as " + Shown(text) : std::string();
        std::string what;
        if (label.wraps) {
            const int lines = WrappedLines(text, label.width);
            const int room = label.height / kWizardLinePx;
            if (lines > room)
                what = "takes " + std::to_string(lines) + " lines" + framed + " where " + Where(label) + " shows " +
                       std::to_string(room) + (room == 1 ? " line" : " lines");
        } else if (text.find_first_of("\r\n") != std::string::npos) {
            what = "holds a line break; " + Where(label) + " shows one line, " +
                   Shown(text.substr(0, text.find_first_of("\r\n")));
        } else if (const int width = TextWidthPx(text); width > label.width) {
            what = "is " + std::to_string(width) + " px wide" + framed + " at the wizard's font (微软雅黑, 12 px); " +
                   Where(label) + " shows only " + Shown(text.substr(0, FittingBytes(text, label.width)));
        }
        if (!what.empty()) warnings.push_back({label.key, std::string(label.key) + ": " + what});
    }
    return warnings;
}

}  // namespace zsetup
