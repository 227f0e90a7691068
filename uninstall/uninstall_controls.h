// The uninstaller's controls, bound once by their names in UNINSTALLFORM to
// references named for what they do.
#pragma once

#include "ui/form.h"

namespace zsetup {

// The pages, in the page control's order.
enum class UninstallPage { kAsk, kWork, kDone };

struct UninstallControls {
    explicit UninstallControls(ui::Form& form)
        : pages(form.Find("Pages")),
          header(form.Find("Header")),
          title(form.Find("Title")),
          subtitle(form.Find("Subtitle")),
          credit_label(form.Find("Credit")),
          site_label(form.Find("SiteLabel")),
          uninstall_button(form.Find("UninstallButton")),
          cancel_button(form.Find("CancelButton")),
          name_label(form.Find("NameLabel")),
          version_label(form.Find("VersionLabel")),
          folder_label(form.Find("FolderLabel")),
          what_label(form.Find("WhatLabel")),
          stage_label(form.Find("StageLabel")),
          progress(form.Find("Progress")),
          result_label(form.Find("ResultLabel")),
          leftover_box(form.Find("LeftoverBox")) {}

    ui::Widget& pages;  // its pages in UninstallPage's order
    ui::Widget& header;
    ui::Widget& title;
    ui::Widget& subtitle;
    ui::Widget& credit_label;
    ui::Widget& site_label;
    ui::Widget& uninstall_button;
    ui::Widget& cancel_button;  // Finish on the last page
    // The question.
    ui::Widget& name_label;
    ui::Widget& version_label;
    ui::Widget& folder_label;
    ui::Widget& what_label;
    // The work.
    ui::Widget& stage_label;
    ui::Widget& progress;
    // The result.
    ui::Widget& result_label;
    ui::Widget& leftover_box;  // what was left, and why
};

}  // namespace zsetup
