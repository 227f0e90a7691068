// The manifest's [sign] and [winget] tables: how setup.exe is signed during
// the build, and what the Windows Package Manager's manifest says of it
// (zsetup build --winget writes it). The command line's --sign, --winget-id
// and --winget-url win over them.
#pragma once

#include <optional>
#include <string>

#include <toml++/toml.h>

#include "builder/maker_manifest.h"

namespace zsetup {

struct SignCommand {
    std::string text;    // as written, {file} in it
    std::string origin;  // where messages point: "--sign", or "product.toml:12: sign.command"
};

// [winget]'s keys as written (UTF-8), each checked against the schema.
struct WingetKeys {
    std::optional<std::string> identifier, url, license, short_description;
};

struct PublishingTables {
    std::optional<SignCommand> sign;  // none without [sign]
    WingetKeys winget;
};

// Reads root's [sign] and [winget] tables; every problem goes to the sink.
// manifest_file names the manifest in a command's origin.
PublishingTables ReadPublishingTables(const toml::table& root, const std::string& manifest_file,
                                      const ProblemSink& problem);

}  // namespace zsetup
