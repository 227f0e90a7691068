// The maker's lines the two programs show and the programs they end: the
// package's maker profile where it sets one, else the built-in maker's.
// Resolved once, when the profile has been read; texts are GBK.
#pragma once

#include <string>
#include <vector>

#include "package/maker_profile.h"

namespace zsetup {

struct MakerLines {
    std::string caption;                 // every message box of the programs' own
    std::string credit;                  // the header's credit line
    std::string site;                    // scheme and host: the licence and tutorial pages
    std::string site_text;               // the address at the lower left
    std::string page_title;              // page 0's title
    std::string installed_question;      // start-up: install over an earlier install?
    std::string checksum_question;       // start-up: go on with a payload failing its sum?
    std::string quit_question;           // Cancel and closing before the run
    std::string folder_example;          // the full-path message's example folder
    std::string tutorial_text;           // the finish page's check box
    std::vector<std::string> processes;  // ended before files are written or removed
};

// The built-in maker's lines: what a package without a profile shows.
const MakerLines& BuiltInMakerLines();

// The profile's lines where it sets them, the built-in maker's elsewhere.
MakerLines MakerLinesOf(const MakerProfile& profile);

}  // namespace zsetup
