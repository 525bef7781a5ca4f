#pragma once
#include <QString>

#include <stdexcept>

// The password cipher: a keyed XOR stream over single bytes, written as
// hexadecimal text with two upper-case digits per character.

// A stored value that is not hexadecimal.
class CryptError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Enciphers the low 8 bits of every character of the text.
QString EncryptPassword(const QString& text);

// Deciphers the whole digit pairs of a hex text (either letter case; a final
// unpaired digit is ignored). Throws CryptError when a pair is not hexadecimal.
QString DecryptPassword(const QString& hex);
