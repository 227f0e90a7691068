// ByteSink: where a program's bytes go as they are made (ByteSource's
// counterpart), so the PE writer streams into a file it does not know.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zsetup {

// Appended in order, and the headers written over again once the sizes are known.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    virtual void Append(const std::uint8_t* data, std::size_t size) = 0;
    virtual void Overwrite(std::uint64_t offset, const std::uint8_t* data, std::size_t size) = 0;
};

}  // namespace zsetup
