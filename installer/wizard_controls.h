// The wizard's controls, bound once by their names in TMAINFORM to references
// named for what they do, so the code reads next_button rather than
// Control("suiButton2").
#pragma once

#include "ui/form.h"

namespace zsetup {

struct WizardControls {
    explicit WizardControls(ui::Form& form)
        : pages(form.Find("PageCtl")),
          header(form.Find("Panel1")),
          title(form.Find("Label8")),
          subtitle(form.Find("Label12")),
          prev_button(form.Find("suiButton1")),
          next_button(form.Find("suiButton2")),
          agree_button(form.Find("suiButton4")),
          cancel_button(form.Find("suiButton3")),
          kill_main_button(form.Find("Button1")),
          kill_updater_button(form.Find("Button2")),
          tutorial_button(form.Find("BPing")),
          name_label(form.Find("NameLb")),
          version_label(form.Find("VerLb")),
          intro_label(form.Find("IntroLb")),
          licence_art(form.Find("Image2")),
          licence_link(form.Find("suiURLLabel1")),
          licence_prompt(form.Find("Label19")),
          agree_prompt(form.Find("Label21")),
          licence_box(form.Find("LicenceBox")),
          folder_edit(form.Find("FolderEd")),
          browse_button(form.Find("suiImageButton1")),
          folder_label(form.Find("FolderLb")),
          stage_label(form.Find("WorkLb")),
          file_label(form.Find("FNameLb")),
          progress(form.Find("CopyProgress")),
          finish_art(form.Find("Image1")),
          result_label(form.Find("Label4")),
          run_hint_label(form.Find("Label6")),
          tutorial_box(form.Find("StartProgramCb")),
          failed_files_box(form.Find("FailedFilesBox")),
          run_box(form.Find("RunProgramCb")),
          credit_label(form.Find("CreditLb")),
          site_label(form.Find("SiteLb")) {}

    ui::Widget& pages;     // PageCtl: its pages in WizardPage's order
    ui::Widget& header;    // Panel1, the coloured band
    ui::Widget& title;     // Label8, the page's title in the header
    ui::Widget& subtitle;  // Label12
    ui::Widget& prev_button;
    ui::Widget& next_button;
    ui::Widget& agree_button;   // lies over Next on the licence page
    ui::Widget& cancel_button;  // Finish on page 5
    // Hidden buttons of the form description; their handlers are entry points
    // of steps the wizard calls itself.
    ui::Widget& kill_main_button;
    ui::Widget& kill_updater_button;
    ui::Widget& tutorial_button;
    // Page 0.
    ui::Widget& name_label;
    ui::Widget& version_label;
    ui::Widget& intro_label;
    // Page 1.
    ui::Widget& licence_art;
    ui::Widget& licence_link;
    ui::Widget& licence_prompt;  // "请阅读" before the link
    ui::Widget& agree_prompt;    // "如果您同意协议请按“同意”进行安装"
    ui::Widget& licence_box;     // the licence text, when shown inline
    // Page 2.
    ui::Widget& folder_edit;
    ui::Widget& browse_button;
    // Page 3.
    ui::Widget& folder_label;
    // Page 4.
    ui::Widget& stage_label;
    ui::Widget& file_label;
    ui::Widget& progress;
    // Page 5.
    ui::Widget& finish_art;
    ui::Widget& result_label;
    ui::Widget& run_hint_label;
    ui::Widget& tutorial_box;
    ui::Widget& failed_files_box;
    ui::Widget& run_box;  // starts the product's program at the finish
    // The maker's lines.
    ui::Widget& credit_label;
    ui::Widget& site_label;
};

}  // namespace zsetup
