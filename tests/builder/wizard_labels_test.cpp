// The builder's table of the wizard's labels is the wizard's: each label's
// size, font and wrapping as the form describes it, and the text it holds as
// the wizard really fills it, page by page, on the memory platform. Compiled
// as GBK like the wizard, so its literals are the bytes the wizard shows.
#include <gtest/gtest.h>

#include <string>

#include "installer/main_form_description.h"
#include "builder/text_width.h"
#include "builder/wizard_fit.h"
#include "tests/installer/wizard_fixture.h"
#include "text/encoding.h"

namespace zsetup {
namespace {

using namespace zsetup::testing;

const ui::ControlRow* Row(const char* name) {
    for (const ui::ControlRow& row : TMAINFORM().controls)
        if (std::string(row.name) == name) return &row;
    return nullptr;
}

std::string Gbk(const char* utf8) {
    std::string gbk;
    EXPECT_TRUE(Utf8ToGbk(utf8, gbk)) << utf8;
    return gbk;
}

TEST(WizardLabels, AreTheFormsLabels) {
    for (const WizardLabel& label : WizardLabels()) {
        SCOPED_TRACE(label.control);
        const ui::ControlRow* row = Row(label.control);
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(row->bounds.width, label.width);
        EXPECT_EQ(row->bounds.height, label.height);
        EXPECT_EQ(row->font.face, "微软雅黑");  // GBK here, as in the form
        EXPECT_EQ(row->font.height, kWizardFontPx);
        EXPECT_FALSE(row->font.bold);
        EXPECT_EQ((row->flags & ui::kWordWrap) != 0, label.wraps);
        const std::string parent = row->parent;
        if (parent.rfind("Sheet", 0) == 0) {
            EXPECT_EQ(parent, "Sheet" + std::to_string(label.page));
        }
    }
}

// Texts unlike each other, so a label showing the wrong one is caught.
Package Texts() {
    Package p;
    p.record.ProductName.assign("产品名称");
    p.record.Version.assign("9.8.7 版");
    p.record.Introduction.assign("简介第一行\r\n第二行");
    p.record.DefaultFolderName.assign("默认文件夹");
    return p;
}

std::string Value(const WizardLabel& label, const SetupConfig& r) {
    const std::string key = label.key;
    if (key == "product.name") return r.ProductName.text();
    if (key == "product.version") return r.Version.text();
    if (key == "product.introduction") return r.Introduction.text();
    return r.DefaultFolderName.text();
}

TEST(WizardLabels, HoldTheTextsTheWizardPutsThere) {
    const Package package = Texts();
    Wizard w(package, {"C:", "D:"});  // with a D: drive the wizard proposes D:\, the wider letter
    int checked = 0;
    for (int page : {0, 3, 5}) {
        if (page == 3) {
            w.ToFolderPage();
            w.Next();
        }
        if (page == 5) w.Next();
        ASSERT_EQ(w.page(), page);
        for (const WizardLabel& label : WizardLabels()) {
            if (label.page != page) continue;
            SCOPED_TRACE(label.control);
            EXPECT_EQ(w[label.control].caption(), Gbk(label.head) + Value(label, package.record) + Gbk(label.tail));
            ++checked;
        }
    }
    EXPECT_EQ(checked, static_cast<int>(WizardLabels().size()));
}

}  // namespace
}  // namespace zsetup
