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
