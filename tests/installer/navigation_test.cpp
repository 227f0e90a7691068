// Pages and navigation on the memory platform: what each page shows, where
// each button leads, Agree's life, the folder check, Cancel and closing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "installer/wizard_texts.h"
#include "tests/installer/wizard_fixture.h"
#include "tests/support/case_names.h"

namespace zsetup {
namespace {

using namespace zsetup::testing;

const char kNotFull[] = "必须指定完全路径!\r\n比如:\r\nC:\\ZANTO-Y";

struct PageLook {
    int page;
    const char* title;
    std::string subtitle;
    bool prev, next, cancel_enabled;
    const char* cancel;
};

void ExpectLook(Wizard& w, const PageLook& look) {
    SCOPED_TRACE("page " + std::to_string(look.page));
    ASSERT_EQ(w.page(), look.page);
    EXPECT_TRUE(w["Sheet" + std::to_string(look.page)].visible());
    EXPECT_EQ(w["Label8"].caption(), look.title);
    EXPECT_EQ(w["Label12"].caption(), look.subtitle);
    EXPECT_EQ(w["suiButton1"].visible(), look.prev);
    EXPECT_EQ(w["suiButton2"].visible(), look.next);
    EXPECT_EQ(w["suiButton3"].enabled(), look.cancel_enabled);
    EXPECT_EQ(w["suiButton3"].caption(), look.cancel);
}

TEST(Navigation, EveryPageShowsItsTitlesAndButtons) {
    Wizard w;
    ExpectLook(w, {0, "Zoraq安装程序", "本安装程序将演示软件软件安装到您的计算机上", false, true, true, "取消"});
    w.Next();
    ExpectLook(w, {1, "软件许可协议", "请认真阅读本软件的许可协议", true, true, true, "取消"});
    w.Press("suiButton4");
    ExpectLook(w, {2, "选择安装目标文件夹", "您所选择的文件夹将存放该软件的所有文件", true, true, true, "取消"});
    EXPECT_EQ(w["FolderEd"].caption(), "C:\\演示软件");
    w.Next();
    ExpectLook(w, {3, "开始安装", "选择结束,即将开始安装工作", true, true, true, "取消"});
    EXPECT_EQ(w["FolderLb"].caption(), "C:\\演示软件");
    EXPECT_EQ(w["FolderLb"].bounds().width, 200);
    w.Next();
    ExpectLook(w, {5, "安装完毕", "已经完成本软件的所有安装工作", false, false, true, "完成"});
    EXPECT_EQ(w["Label6"].caption(), "请双击演示软件图标运行软件。");
    EXPECT_FALSE(w.form->Installing);
    w.Next();  // Next is hidden here, but its page-5 branch ends the program
    EXPECT_TRUE(w.form->form().terminated());
}

TEST(Navigation, PrevGoesBackFromPagesOneToThree) {
    Wizard w;
    w.ToFolderPage();
    w.Next();
    ASSERT_EQ(w.page(), 3);
    for (int expected : {2, 1, 0}) {
        w.Press("suiButton1");
        EXPECT_EQ(w.page(), expected);
    }
    EXPECT_FALSE(w["suiButton1"].visible());
}

TEST(Navigation, NextEndsTheProductProcessesFirstOnEveryPress) {
    Wizard w;
    MemoryProcesses& processes = w.platform->processes;
    auto start_both = [&] {
        return std::vector<std::uint32_t>{processes.Start("KPV-H-Up.exe"), processes.Start("ZANTO-KPV.exe"),
                                          processes.Start("zanto-kpv.exe")};
    };
    std::vector<std::uint32_t> ids = start_both();
    w.Next();
    ASSERT_EQ(processes.Terminations().size(), 2u);
    EXPECT_EQ(processes.Terminations()[0].id, ids[1]);  // ZANTO-KPV.exe first
    EXPECT_EQ(processes.Terminations()[1].id, ids[0]);
    EXPECT_EQ(processes.Terminations()[0].exit_code, 0xFFFFFFFFu);

    // Also when the folder check then fails.
    w.Press("suiButton4");
    ids = start_both();
    w["FolderEd"].SetCaption("");
    w.Next({kIdOk});
    EXPECT_EQ(w.page(), 2);
    ASSERT_EQ(processes.Terminations().size(), 4u);
    EXPECT_EQ(processes.Terminations()[2].id, ids[1]);
    EXPECT_EQ(processes.Terminations()[3].id, ids[0]);
}

TEST(Navigation, AgreeIsShownUntilPressedThenMovesOutOfSight) {
    Wizard w;
    ui::Widget& agree = w["suiButton4"];
    EXPECT_FALSE(agree.visible());
    w.Next();
    EXPECT_TRUE(agree.visible());
    EXPECT_EQ(agree.bounds().top, 250);
    // Back to page 0 before agreeing: forward again shows Agree again.
    w.Press("suiButton1");
    EXPECT_FALSE(agree.visible());
    w.Next();
    EXPECT_TRUE(agree.visible());

    w.Press("suiButton4");
    EXPECT_EQ(w.page(), 2);
    EXPECT_EQ(agree.bounds().top, -32);
    EXPECT_TRUE(agree.visible());  // Next showed it again, out of sight
    w.Press("suiButton1");
    EXPECT_EQ(w.page(), 1);
    EXPECT_FALSE(agree.visible());
    w.Next();
    EXPECT_EQ(w.page(), 2);
    EXPECT_EQ(agree.bounds().top, -32);
}

// The folder check: what the user typed, and what comes of it.
struct FolderCase {
    const char* label;
    std::string typed;
    const char* message;  // nullptr: none
    int page;
    std::string edit_after;
    std::string install_folder;
    std::vector<std::string> created;
};

const std::string k128 = "D:\\" + std::string(125, 'x');

const FolderCase kFolderCases[] = {
    {"blanks around",
     "  D:\\Apps\\Tool \t",
     nullptr,
     3,
     "D:\\Apps\\Tool",
     "D:\\Apps\\Tool",
     {"D:\\Apps\\", "D:\\Apps\\Tool"}},
    {"bare drive", "C:", texts::kFolderIsRoot, 2, "C:", "D:\\演示软件", {}},
    {"drive root", "E:\\", texts::kFolderIsRoot, 2, "E:\\", "D:\\演示软件", {}},
    {"network path", "\\\\server\\share", kNotFull, 2, "\\\\server\\share", "D:\\演示软件", {}},
    {"relative", "Apps", kNotFull, 2, "Apps", "D:\\演示软件", {}},
    {"relative to a drive's current folder", "C:Apps", kNotFull, 2, "C:Apps", "D:\\演示软件", {}},
    {"a folder name ending in a dot",
     "D:\\Apps.\\Tool",
     texts::kFolderNameTrimmed,
     2,
     "D:\\Apps.\\Tool",
     "D:\\演示软件",
     {}},
    {"a last name ending in dots", "C:\\trail...", texts::kFolderNameTrimmed, 2, "C:\\trail...", "D:\\演示软件", {}},
    {"a name ending in a blank inside",
     "D:\\Apps \\Tool",
     texts::kFolderNameTrimmed,
     2,
     "D:\\Apps \\Tool",
     "D:\\演示软件",
     {}},
    {"one character", "D", kNotFull, 2, "D", "D:\\演示软件", {}},
    {"blanks only", "   ", texts::kFolderEmpty, 2, "", "D:\\演示软件", {}},
    {"a file", "C:\\file.txt", texts::kFolderNotCreated, 2, "C:\\file.txt", "D:\\演示软件", {}},
    {"missing drive", "Q:\\Apps", texts::kFolderNotCreated, 2, "Q:\\Apps", "D:\\演示软件", {}},
    {"existing folder", "C:\\Old", nullptr, 3, "C:\\Old", "C:\\Old", {}},
    {"128 bytes", k128, nullptr, 3, k128, k128, {k128}},
    {"129 bytes", k128 + "y", texts::kFolderTooLong, 2, k128 + "y", "D:\\演示软件", {}},
};

class FolderCheck : public ::testing::TestWithParam<FolderCase> {};

TEST_P(FolderCheck, AcceptsAFullPathBelowADriveRoot) {
    const FolderCase& c = GetParam();
    Wizard w(Package(), {"C:", "D:"});
    w.platform->files.AddFile("C:\\file.txt");
    w.platform->files.MakeDirectory("C:\\Old");
    w.ToFolderPage();
    const std::size_t made_before = w.platform->files.Created().size();
    w["FolderEd"].SetCaption(c.typed);
    w.Next(c.message ? std::vector<int>{kIdOk} : std::vector<int>{});

    EXPECT_EQ(w.page(), c.page);
    EXPECT_EQ(w["FolderEd"].caption(), c.edit_after);
    EXPECT_EQ(w.form->config->InstallFolder.text(), c.install_folder);
    if (c.message) {
        ASSERT_EQ(w.boxes().size(), 1u);
        EXPECT_EQ(w.boxes()[0].text, c.message);
        EXPECT_EQ(w.boxes()[0].caption, " ZANTO");
        EXPECT_EQ(w.boxes()[0].flags, 48u);
    } else {
        EXPECT_TRUE(w.boxes().empty());
    }
    const auto& made = w.platform->files.Created();
    EXPECT_EQ(std::vector<std::string>(made.begin() + static_cast<std::ptrdiff_t>(made_before), made.end()), c.created);
}

INSTANTIATE_TEST_SUITE_P(Cases, FolderCheck, ::testing::ValuesIn(kFolderCases), zsetup::testing::LabelName());

TEST(Navigation, OnlyNextStoresTheEditedFolder) {
    Wizard w;
    w.ToFolderPage();
    w["FolderEd"].SetCaption("C:\\Typed");
    w.Press("suiButton1");
    w.Next();
    EXPECT_EQ(w["FolderEd"].caption(), "C:\\演示软件");
}

TEST(Navigation, ThePickerFillsTheEditWithTheProductFolder) {
    struct Case {
        std::string chosen, edit;
    };
    for (const Case& c :
         {Case{"E:\\", "E:\\演示软件"}, Case{"E:\\Apps", "E:\\Apps\\演示软件"}, Case{"", "C:\\演示软件"}}) {
        SCOPED_TRACE(c.chosen);
        Wizard w;
        w.ToFolderPage();
        w.platform->shell.AnswerFolderPicker(c.chosen);
        w.Press("suiImageButton1");
        EXPECT_EQ(w["FolderEd"].caption(), c.edit);
        ASSERT_EQ(w.platform->shell.PickerRequests().size(), 1u);
        EXPECT_EQ(w.platform->shell.PickerRequests()[0].csidl_root, 0);
        EXPECT_EQ(w.platform->shell.PickerRequests()[0].title, "选择安装目标文件夹");
        EXPECT_EQ(w.form->config->InstallFolder.text(), "C:\\演示软件");
    }
}

TEST(Navigation, CancelAsksOnPagesZeroToThree) {
    for (int page = 0; page <= 3; ++page) {
        for (int answer : {kIdNo, kIdYes}) {
            SCOPED_TRACE(std::to_string(page) + "/" + std::to_string(answer));
            Wizard w;
            if (page >= 1) w.Next();
            if (page >= 2) w.Press("suiButton4");
            if (page >= 3) w.Next();
            ASSERT_EQ(w.page(), page);
            w.platform->dialogs.Answer(answer);
            w.Press("suiButton3");
            ASSERT_EQ(w.boxes().size(), 1u);
            EXPECT_EQ(w.boxes()[0].text, BuiltInMakerLines().quit_question.c_str());
            EXPECT_EQ(w.boxes()[0].caption, " ZANTO");
            EXPECT_EQ(w.boxes()[0].flags, 292u);
            EXPECT_EQ(w.form->form().terminated(), answer == kIdYes);
            EXPECT_EQ(w.page(), page);
        }
    }
}

TEST(Navigation, ACloseRequestIsAskedWithTheFrameworkDialog) {
    for (int answer : {kIdNo, kIdYes}) {
        Wizard w;
        w.platform->dialogs.Answer(answer);
        w.form->form().RequestClose();
        ASSERT_EQ(w.boxes().size(), 1u);
        EXPECT_TRUE(w.boxes()[0].confirmation);
        EXPECT_EQ(w.boxes()[0].text, BuiltInMakerLines().quit_question.c_str());
        EXPECT_EQ(w.form->form().terminated(), answer == kIdYes);
    }
    // On page 5 it is refused without a question.
    Wizard done;
    done.ToFolderPage();
    done.Next();
    done.Next();
    ASSERT_EQ(done.page(), 5);
    done.form->form().RequestClose();
    EXPECT_TRUE(done.boxes().empty());
    EXPECT_FALSE(done.form->form().terminated());
}

TEST(Navigation, TheLicenceLinkOpensTheMakersPage) {
    Wizard w;
    w.Next();
    w.Press("suiURLLabel1");
    ASSERT_EQ(w.platform->shell.ExecuteRequests().size(), 1u);
    const auto& r = w.platform->shell.ExecuteRequests()[0];
    EXPECT_EQ(r.verb, "open");
    EXPECT_EQ(r.file, "http://www.example.com/license.asp");
    EXPECT_EQ(r.parameters, "");
    EXPECT_EQ(r.directory, "");
    EXPECT_EQ(r.show, kSwShow);
}

}  // namespace
}  // namespace zsetup
