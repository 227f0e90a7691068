// The manifest's [sign] table: how setup.exe is signed during the build. The
// command line's --sign wins over it.
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

struct PublishingTables {
    std::optional<SignCommand> sign;  // none without [sign]
};

// Reads root's [sign] table; every problem goes to the sink.
// manifest_file names the manifest in a command's origin.
PublishingTables ReadPublishingTables(const toml::table& root, const std::string& manifest_file,
                                      const ProblemSink& problem);

}  // namespace zsetup
