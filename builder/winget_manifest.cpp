#include "builder/winget_manifest.h"

#include <cstdio>

#include "builder/file_io.h"
#include "builder/input_error.h"
#include "builder/manifest_text.h"
#include "builder/winget_rules.h"
#include "builder/yaml_text.h"
#include "package/setup_map.h"
#include "text/encoding.h"
#include "text/gbk.h"

namespace zsetup {
namespace {

constexpr char kManifestVersion[] = "1.6.0";

// The switches setup.exe takes (README, "Installing from the command line");
// /D= must come last, and winget puts InstallLocation last.
constexpr char kSilentSwitch[] = "/S";
constexpr char kLocationSwitch[] = "/D=<INSTALLPATH>";

// The introduction's lines as one line: ShortDescription is a line of text.
std::string OneLine(const std::string& text) {
    std::string line;
    for (char c : text) {
        if (c == '\r' || c == '\n') {
            if (!line.empty() && line.back() != ' ') line += ' ';
        } else {
            line += c;
        }
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    return line;
}

// The identifier: given, or formed from the maker's and the product's names.
std::string Identifier(const Manifest& m, const WingetOverrides& o, const std::string& author, const std::string& name,
                       std::vector<std::string>& problems) {
    if (o.identifier) {
        if (const std::string why = WingetIdentifierProblem(*o.identifier); !why.empty())
            problems.push_back("--winget-id: " + why);
        return *o.identifier;
    }
    if (m.publishing.winget.identifier) return *m.publishing.winget.identifier;
    const auto publisher = IdentifierPart(author), product = IdentifierPart(name);
    if (publisher && product) return *publisher + "." + *product;
    std::string which;
    if (!publisher) which = "product.author " + Quoted(author);
    if (!product) which += (which.empty() ? "" : " and ") + std::string("product.name ") + Quoted(name);
    problems.push_back("--winget: no package identifier can be made from " + which +
                       " (a part is ASCII letters, digits, - and _, its blanks left out); give [winget] identifier = "
                       "\"Publisher.Product\" or --winget-id");
    return "";
}

std::string Url(const Manifest& m, const WingetOverrides& o, std::vector<std::string>& problems) {
    if (o.url) {
        if (const std::string why = WingetUrlProblem(*o.url); !why.empty()) problems.push_back("--winget-url: " + why);
        return *o.url;
    }
    if (m.publishing.winget.url) return *m.publishing.winget.url;
    problems.push_back(
        "--winget: no address setup.exe is downloaded from (InstallerUrl); give [winget] url = \"https://...\" or "
        "--winget-url");
    return "";
}

// A product text the schema holds to a length: the problem names the key it comes from.
void CheckLength(const std::string& key, const std::string& text, std::size_t fewest, std::size_t most,
                 const char* field, std::vector<std::string>& problems) {
    if (const std::string why = LengthProblem(text, fewest, most); !why.empty())
        problems.push_back("--winget: " + key + " " + Quoted(text) + " " + why + " (winget's " + field + ")");
}

std::string Hex(const Sha256Digest& digest) {
    std::string hex;
    for (std::uint8_t byte : digest) {
        char two[3];
        std::snprintf(two, sizeof two, "%02X", byte);
        hex += two;
    }
    return hex;
}

// "Key: value" lines, indented, the values as YAML scalars.
class YamlLines {
public:
    YamlLines& operator()(const std::string& key, const std::string& value, int indent = 0) {
        text_ += std::string(static_cast<std::size_t>(indent), ' ') + key + ": " + YamlScalar(value) + "\n";
        return *this;
    }
    YamlLines& Line(const std::string& line) {
        text_ += line + "\n";
        return *this;
    }
    std::string text() const { return text_; }

private:
    std::string text_;
};

// The header winget-pkgs' manifests carry: editors find the schema by it.
YamlLines Started(const char* type) {
    YamlLines lines;
    lines.Line(std::string("# yaml-language-server: $schema=https://aka.ms/winget-manifest.") + type + "." +
               kManifestVersion + ".schema.json");
    lines.Line("");
    return lines;
}

}  // namespace

WingetPackage WingetPackageOf(const Manifest& m, const WingetOverrides& o) {
    const SetupConfig& r = *m.record;
    std::vector<std::string> problems;
    WingetPackage p;
    p.version = GbkToUtf8(r.Version.text());
    p.publisher = GbkToUtf8(r.Author.text());
    p.name = GbkToUtf8(r.ProductName.text());
    p.identifier = Identifier(m, o, p.publisher, p.name, problems);
    if (const std::string why = WingetVersionProblem(p.version); !why.empty())
        problems.push_back("--winget: product.version: " + why + " (winget's PackageVersion)");
    CheckLength("product.author", p.publisher, kWingetNameFewest, kWingetNameMost, "Publisher", problems);
    CheckLength("product.name", p.name, kWingetNameFewest, kWingetNameMost, "PackageName", problems);
    if (m.publishing.winget.license) {
        p.license = *m.publishing.winget.license;
    } else {
        problems.push_back(
            "--winget: no licence name (winget's License); give [winget] license = \"Proprietary\", or the "
            "licence's own name");
    }
    if (m.publishing.winget.short_description) {
        p.short_description = *m.publishing.winget.short_description;
    } else {
        p.short_description = OneLine(GbkToUtf8(r.Introduction.text()));
        if (const std::string why =
                LengthProblem(p.short_description, kWingetDescriptionFewest, kWingetDescriptionMost);
            !why.empty())
            problems.push_back("--winget: no short description (winget's ShortDescription): product.introduction " +
                               Quoted(p.short_description) + " " + why + "; give [winget] short_description");
    }
    p.url = Url(m, o, problems);
    p.arch = m.arch;
    p.scope = ScopeWord(m.scope);
    const std::string key = installed::UninstallKey(r);
    p.product_code = GbkToUtf8(key.substr(FindLastSeparator(key) + 1));
    if (!problems.empty()) {
        std::string listed;
        for (const std::string& problem : problems) listed += (listed.empty() ? "" : "\n") + problem;
        throw InputError(listed);
    }
    return p;
}

std::vector<WingetFile> WingetFiles(const WingetPackage& p, const Sha256Digest& setup) {
    YamlLines version = Started("version");
    version("PackageIdentifier", p.identifier)("PackageVersion", p.version)("DefaultLocale", kWingetLocale);
    version("ManifestType", "version")("ManifestVersion", kManifestVersion);

    YamlLines installer = Started("installer");
    installer("PackageIdentifier", p.identifier)("PackageVersion", p.version);
    installer.Line("Installers:");
    installer.Line("  - Architecture: " + YamlScalar(ArchName(p.arch)));
    installer("InstallerType", "exe", 4)("Scope", p.scope, 4)("InstallerUrl", p.url, 4);
    installer("InstallerSha256", Hex(setup), 4);
    installer.Line("    InstallerSwitches:");
    installer("Silent", kSilentSwitch, 6)("SilentWithProgress", kSilentSwitch, 6)("InstallLocation", kLocationSwitch,
                                                                                  6);
    installer("ProductCode", p.product_code, 4);
    installer("ManifestType", "installer")("ManifestVersion", kManifestVersion);

    YamlLines locale = Started("defaultLocale");
    locale("PackageIdentifier", p.identifier)("PackageVersion", p.version)("PackageLocale", kWingetLocale);
    locale("Publisher", p.publisher)("PackageName", p.name)("License", p.license);
    locale("ShortDescription", p.short_description);
    locale("ManifestType", "defaultLocale")("ManifestVersion", kManifestVersion);

    return {{p.identifier + ".yaml", version.text()},
            {p.identifier + ".installer.yaml", installer.text()},
            {p.identifier + ".locale." + kWingetLocale + ".yaml", locale.text()}};
}

void WriteWingetManifest(const std::filesystem::path& folder, const WingetPackage& package, const Sha256Digest& setup) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) throw std::runtime_error("Cannot make \"" + folder.u8string() + "\": " + ec.message());
    for (const WingetFile& file : WingetFiles(package, setup))
        WriteFileReplacing(folder / std::filesystem::u8path(file.name),
                           std::vector<std::uint8_t>(file.text.begin(), file.text.end()));
}

}  // namespace zsetup
