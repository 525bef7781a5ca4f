#include "core/access/Crypt.h"

#include <cstdint>
#include <vector>

namespace {

constexpr std::uint16_t kStartKey = 2391;
constexpr std::uint16_t kMultiplier = 30517;
constexpr std::uint16_t kIncrement = 24863;

// The key advances with the enciphered byte, in both directions.
std::uint16_t NextKey(std::uint8_t enciphered, std::uint16_t key) {
    return std::uint16_t((std::uint32_t(enciphered) + key) * kMultiplier + kIncrement);
}

int HexDigit(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9') return u - u'0';
    if (u >= u'A' && u <= u'F') return u - u'A' + 10;
    if (u >= u'a' && u <= u'f') return u - u'a' + 10;
    return -1;
}

}  // namespace

QString EncryptPassword(const QString& text) {
    static const char kDigits[] = "0123456789ABCDEF";
    QString hex;
    hex.reserve(text.size() * 2);
    std::uint16_t key = kStartKey;
    for (QChar c : text) {
        const auto b = std::uint8_t((c.unicode() & 0xFF) ^ (key >> 8));
        hex += QLatin1Char(kDigits[b >> 4]);
        hex += QLatin1Char(kDigits[b & 0x0F]);
        key = NextKey(b, key);
    }
    return hex;
}

QString DecryptPassword(const QString& hex) {
    std::vector<std::uint8_t> bytes;
    for (qsizetype i = 0; i + 1 < hex.size(); i += 2) {
        const int high = HexDigit(hex[i]);
        const int low = HexDigit(hex[i + 1]);
        if (high < 0 || low < 0)
            throw CryptError("not a hexadecimal pair: " + hex.mid(i, 2).toStdString());
        bytes.push_back(std::uint8_t(high * 16 + low));
    }
    QString text;
    text.reserve(qsizetype(bytes.size()));
    std::uint16_t key = kStartKey;
    for (std::uint8_t b : bytes) {
        text += QChar(char16_t(b ^ (key >> 8)));
        key = NextKey(b, key);
    }
    return text;
}
