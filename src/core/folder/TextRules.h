#pragma once
#include <QString>

// The text rules every part of the program shares.

// Removes every leading and trailing character whose code is 32 or below.
QString TrimText(const QString& text);

// True when the text holds nothing once trimmed.
inline bool IsBlank(const QString& text) { return TrimText(text).isEmpty(); }

// Upper-cases (lower-cases) the ASCII letters only; every other character stays.
constexpr char16_t UpperAscii(char16_t c) { return c >= u'a' && c <= u'z' ? char16_t(c - 32) : c; }
constexpr char16_t LowerAscii(char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c; }
QString UpperAscii(QString text);
QString LowerAscii(QString text);

// "dal" before a date or a number, as Italian writes it: "dall'" before one
// read with a vowel ("dall'1.3.2026", "dall'8", "dall'11.12.2026 05:48",
// "dall'80"), "dal " before any other ("dal 12.12.2026", "dal 18"). The
// number is the text's leading digits.
QString WithDal(const QString& text);
