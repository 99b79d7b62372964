#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <string>

namespace reader {

// Excel's XOR obfuscation (FILEPASS type 0), "method 1" of Office's binary
// documents: a 16-bit key and a 16-bit verifier from a password of at most
// 15 single-byte characters, and the 16 bytes every obfuscated byte is
// XORed with.
namespace xorobfuscation {

// What Excel makes of a password typed in Unicode: each character's low
// byte, or its high byte where the low one is 0; the first 15 of them.
std::string passwordBytes(const QString& password);
// The key and the verifier FILEPASS stores; both 0 for an empty password,
// which obfuscates nothing.
std::uint16_t key(const std::string& password);
std::uint16_t verifier(const std::string& password);
// The array whose byte (offset + record length) % 16 obfuscates the record's
// byte at that offset of the stream.
std::array<std::uint8_t, 16> xorArray(const std::string& password);

} // namespace xorobfuscation

} // namespace reader
