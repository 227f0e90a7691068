// A throwaway code-signing certificate for the tests that sign with
// osslsigncode: made with openssl, self-signed, so `osslsigncode verify`
// takes it as its own authority (-CAfile).
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/builder/native_tools.h"

namespace zsetup::testing {

// One word of sh, whatever the text holds.
inline std::string ShellWord(const std::string& text) {
    std::string word = "'";
    for (char c : text) word += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return word + "'";
}

class TestCertificate {
public:
    // Makes key.pem and cert.pem in folder; fails the test when openssl cannot.
    explicit TestCertificate(const std::filesystem::path& folder)
        : key_((folder / "key.pem").string()), cert_((folder / "cert.pem").string()) {
        const ToolRun made = Capture(std::string(ZSETUP_OPENSSL) +
                                     " req -x509 -newkey rsa:2048 -nodes -days 2 -subj '/CN=zsetup test' -addext "
                                     "extendedKeyUsage=codeSigning -keyout " +
                                     ShellWord(key_) + " -out " + ShellWord(cert_));
        EXPECT_EQ(made.status, 0) << made.output;
    }

    const std::string& cert() const { return cert_; }

    // A signing command for zsetup build --sign: {file} signed where it lies,
    // as a maker's script would.
    std::string SignCommand() const {
        return std::string(ZSETUP_OSSLSIGNCODE) + " sign -certs " + ShellWord(cert_) + " -key " + ShellWord(key_) +
               " -n 演示软件 -in {file} -out {file}.signed && mv {file}.signed {file}";
    }

    // osslsigncode's own check of a signed file.
    ToolRun Verify(const std::filesystem::path& file) const {
        return Capture(std::string(ZSETUP_OSSLSIGNCODE) + " verify -CAfile " + ShellWord(cert_) + " -in " +
                       ShellWord(file.string()));
    }

private:
    std::string key_, cert_;
};

}  // namespace zsetup::testing
