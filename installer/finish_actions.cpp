// The finish branch of Cancel on page 5: the tutorial page, the installed
// folder, the end.
#include <string>

#include "installer/main_form.h"
#include "installer/main_form_description.h"
#include "platform/registry_accessor.h"
#include "text/gbk.h"

namespace zsetup {
namespace {

constexpr std::uint32_t kAnyConnection = kInternetConnectionModem | kInternetConnectionLan | kInternetConnectionProxy;

// Every byte outside the URL's unreserved characters as %XX, so a name with
// blanks or Chinese stays one argument and one address.
std::string PercentEncode(const std::string& bytes) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : bytes) {
        const bool unreserved = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                                c == '-' || c == '.' || c == '_' || c == '~';
        if (unreserved) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

// The program of a browser command: the double-quoted path it starts with,
// or else its first blank-delimited word.
std::string BrowserProgram(const std::string& command) {
    const std::size_t open = command.find('"');
    const std::size_t close = open == std::string::npos ? open : command.find('"', open + 1);
    if (close != std::string::npos) return command.substr(open + 1, close - open - 1);
    const std::size_t start = command.find_first_not_of(' ');
    if (start == std::string::npos) return {};
    return command.substr(start, command.find(' ', start) - start);
}

}  // namespace

std::string TMainForm::TutorialAddress() const {
    if (maker_.tutorial_address) return *maker_.tutorial_address;
    return lines_.site + "/jiaocheng.asp?id=" + PercentEncode(config->ProductName.text());
}

void TMainForm::Finish() {
    if (maker_.run_file && controls_.run_box.checked()) StartRunFile();
    if (controls_.tutorial_box.checked()) OpenTutorialWhenOnline();
    platform_.clock.Sleep(500);
    const std::string folder = config->InstallFolder.text();
    if (!maker_.keep_folder_closed) platform_.shell.Execute("explore", folder, "", PathPart(folder), kSwShowNormal);
    exit_code_ = kExitDone;
    form_->Terminate();
}

// The row the profile names, as the run installed it, in its own folder.
void TMainForm::StartRunFile() {
    const std::string path = config->InstallFolder.text() + config->Files[*maker_.run_file].Name.text();
    platform_.shell.Execute("open", path, "", PathPart(path), kSwShowNormal);
}

void TMainForm::OpenTutorialWhenOnline() {
    const auto flags = platform_.network.ConnectedState();
    // Once, whichever of the connection kinds are up.
    if (flags && (*flags & kAnyConnection)) OpenInBrowser(TutorialAddress());
}

void TMainForm::OpenInBrowser(const std::string& url) {
    std::string command;
    {
        RegistryAccessor reg(platform_.registry, kKeyQueryValue, RegRoot::ClassesRoot);
        if (reg.OpenKey("\\htmlfile\\shell\\open\\command", false)) command = reg.ReadString("");
    }
    if (command.empty()) return;
    platform_.shell.Execute("open", BrowserProgram(command), url, "", kSwShow);
}

}  // namespace zsetup
