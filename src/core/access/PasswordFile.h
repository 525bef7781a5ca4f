#pragma once
#include "core/folder/ProgramFolder.h"

#include <QString>

// The access password as the program stores it: key "Valore" of section
// "Accesso" of unins000.dll (an INI file) in the program folder, enciphered
// by Crypt in its stored form.

// The password of the first access, held by a new installation.
inline constexpr char kFirstAccessPassword[] = "riconoscimento";

// The stored form of a typed password: ASCII letters upper-cased, leading and
// trailing characters up to U+0020 removed.
QString NormalizePassword(const QString& typed);

// True when every character of the password survives the cipher, which keeps
// only 8 bits per character: a password with a character above U+00FF would
// be stored in a form that never matches again.
bool IsStorablePassword(const QString& password);

// The stored password, deciphered and trimmed; empty when the file, the
// section or the key is missing. Throws IniError when the file cannot be read
// and CryptError when the stored value is not hexadecimal.
QString ReadStoredPassword(const ProgramFolder& folder);

// Stores the password in its stored form, enciphered, creating the file, the
// section or the key as needed and leaving the rest of the file as it was.
// Throws IniError when the file cannot be written and std::invalid_argument
// when the password is not storable.
void WriteStoredPassword(const ProgramFolder& folder, const QString& password);
