// Failures of the package layer; what() is the text the user sees.
#pragma once

#include <stdexcept>
#include <string>

namespace zsetup {

class PackageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Fewer bytes than announced: the blob's length or its zlib stream is short.
class StreamReadError : public PackageError {
public:
    StreamReadError() : PackageError("Stream read error") {}
};

// The zlib stream itself is damaged.
class CorruptBlobError : public PackageError {
public:
    using PackageError::PackageError;
};

}  // namespace zsetup
