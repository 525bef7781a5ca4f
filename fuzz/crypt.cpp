// The input is a stored value and a password: a value deciphers to one
// character per digit pair, or fails with CryptError, and enciphers back to
// its pairs in upper case; a password of 8-bit characters comes back whole.
#include "FuzzSupport.h"

#include "core/access/Crypt.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text = QString::fromLatin1(reinterpret_cast<const char*>(data), qsizetype(size));
    try {
        const QString plain = DecryptPassword(text);
        FUZZ_CHECK(plain.size() == text.size() / 2);
        FUZZ_CHECK(EncryptPassword(plain) == text.left(plain.size() * 2).toUpper());
    } catch (const CryptError&) {
    }
    const QString hex = EncryptPassword(text);
    FUZZ_CHECK(hex.size() == 2 * text.size());
    FUZZ_CHECK(DecryptPassword(hex) == text);
    return 0;
}
