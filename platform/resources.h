// The running program's named RT_RCDATA resources (SETUPINI, SETUPPACK) and
// its manifest.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/byte_source.h"

namespace zsetup {

class Resources {
public:
    virtual ~Resources() = default;
    // A copy of the resource's bytes; nothing when the module has no
    // resource of that name. Names ignore letter case, as Windows does.
    virtual std::optional<std::vector<std::uint8_t>> RcData(const std::string& name) = 0;
    // The resource's bytes where they lie in the program's image, read in
    // place (no copy); nothing when there is no such resource. Pages read
    // there stay in the program's memory for its life.
    virtual std::unique_ptr<ByteSource> RcDataInPlace(const std::string& name) = 0;
    // The same bytes read from the program's file a piece at a time, so a
    // payload of any size costs one piece of memory; in place when the file
    // cannot give them. A piece that cannot be read ends the bytes early
    // (0), which a blob's reader takes as cut short. The file is held from
    // here on and shares no writing, so its bytes cannot change after.
    virtual std::unique_ptr<ByteSource> RcDataFromFile(const std::string& name) = 0;
    // The program's own manifest (RT_MANIFEST 1), which tells Windows at
    // what level to start it; empty when it has none.
    virtual std::string ProgramManifest() = 0;
};

}  // namespace zsetup
