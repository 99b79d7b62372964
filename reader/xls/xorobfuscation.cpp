#include "xorobfuscation.h"

namespace reader::xorobfuscation {

namespace {

constexpr std::size_t kMaxPassword = 15;

// The key's start for each password length, and the rows (seven per
// character, the last character's row last) XORed in for its set bits.
constexpr std::uint16_t kInitialCode[kMaxPassword] = {0xE1F0, 0x1D0F, 0xCC9C, 0x84C0, 0x110C, 0x0E10, 0xF1CE, 0x313E,
                                                      0x1872, 0xE139, 0xD40F, 0x84F9, 0x280C, 0xA96A, 0x4EC3};
constexpr std::uint16_t kXorMatrix[kMaxPassword * 7] = {
    0xAEFC, 0x4DD9, 0x9BB2, 0x2745, 0x4E8A, 0x9D14, 0x2A09, 0x7B61, 0xF6C2, 0xFDA5, 0xEB6B, 0xC6F7, 0x9DCF, 0x2BBF,
    0x4563, 0x8AC6, 0x05AD, 0x0B5A, 0x16B4, 0x2D68, 0x5AD0, 0x0375, 0x06EA, 0x0DD4, 0x1BA8, 0x3750, 0x6EA0, 0xDD40,
    0xD849, 0xA0B3, 0x5147, 0xA28E, 0x553D, 0xAA7A, 0x44D5, 0x6F45, 0xDE8A, 0xAD35, 0x4A4B, 0x9496, 0x390D, 0x721A,
    0xEB23, 0xC667, 0x9CEF, 0x29FF, 0x53FE, 0xA7FC, 0x5FD9, 0x47D3, 0x8FA6, 0x0F6D, 0x1EDA, 0x3DB4, 0x7B68, 0xF6D0,
    0xB861, 0x60E3, 0xC1C6, 0x93AD, 0x377B, 0x6EF6, 0xDDEC, 0x45A0, 0x8B40, 0x06A1, 0x0D42, 0x1A84, 0x3508, 0x6A10,
    0xAA51, 0x4483, 0x8906, 0x022D, 0x045A, 0x08B4, 0x1168, 0x76B4, 0xED68, 0xCAF1, 0x85C3, 0x1BA7, 0x374E, 0x6E9C,
    0x3730, 0x6E60, 0xDCC0, 0xA9A1, 0x4363, 0x86C6, 0x1DAD, 0x3331, 0x6662, 0xCCC4, 0x89A9, 0x0373, 0x06E6, 0x0DCC,
    0x1021, 0x2042, 0x4084, 0x8108, 0x1231, 0x2462, 0x48C4};
// What fills the array past the password.
constexpr std::uint8_t kPad[kMaxPassword] = {0xBB, 0xFF, 0xFF, 0xBA, 0xFF, 0xFF, 0xB9, 0x80,
                                             0x00, 0xBE, 0x0F, 0x00, 0xBF, 0x0F, 0x00};

std::uint8_t xorRor(std::uint8_t byte, std::uint8_t keyByte)
{
    const std::uint8_t mixed = byte ^ keyByte;
    return std::uint8_t(mixed >> 1 | mixed << 7);
}

} // namespace

std::string passwordBytes(const QString& password)
{
    std::string bytes;
    for (const QChar c : password.left(int(kMaxPassword))) {
        const std::uint16_t unit = c.unicode();
        bytes += char((unit & 0xFF) != 0 ? unit & 0xFF : unit >> 8);
    }
    return bytes;
}

std::uint16_t key(const std::string& password)
{
    if (password.empty() || password.size() > kMaxPassword)
        return 0;
    std::uint16_t key = kInitialCode[password.size() - 1];
    std::size_t row = kMaxPassword * 7;
    for (auto c = password.rbegin(); c != password.rend(); ++c) {
        std::uint8_t bits = std::uint8_t(*c);
        for (int i = 0; i < 7; ++i, bits = std::uint8_t(bits << 1)) {
            --row;
            if (bits & 0x40)
                key ^= kXorMatrix[row];
        }
    }
    return key;
}

std::uint16_t verifier(const std::string& password)
{
    if (password.empty() || password.size() > kMaxPassword)
        return 0;
    // The bytes from the last to the first, then the length.
    std::string bytes = password;
    bytes.insert(bytes.begin(), char(password.size()));
    std::uint16_t verifier = 0;
    for (auto c = bytes.rbegin(); c != bytes.rend(); ++c)
        verifier = std::uint16_t((verifier >> 14 & 1) | (verifier << 1 & 0x7FFF)) ^ std::uint8_t(*c);
    return verifier ^ 0xCE4B;
}

std::array<std::uint8_t, 16> xorArray(const std::string& password)
{
    std::array<std::uint8_t, 16> array{};
    if (password.empty() || password.size() > kMaxPassword)
        return array;
    const std::uint16_t k = key(password);
    const std::uint8_t high = std::uint8_t(k >> 8);
    const std::uint8_t low = std::uint8_t(k & 0xFF);
    // The password, then the pad from its start: even places take the key's
    // low byte, odd ones its high byte.
    for (std::size_t i = 0; i < array.size(); ++i) {
        const std::uint8_t byte = i < password.size() ? std::uint8_t(password[i]) : kPad[i - password.size()];
        array[i] = xorRor(byte, i % 2 == 0 ? low : high);
    }
    return array;
}

} // namespace reader::xorobfuscation
