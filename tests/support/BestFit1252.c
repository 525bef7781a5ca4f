/* Windows' own conversion of texts to code page 1252, for the tests that hold
 * the program's to it. Built with the mingw-w64 cross compiler and run under
 * Wine.
 *
 *   bestfit1252.exe FILE
 *
 * FILE holds texts in UTF-16LE, each ended by U+000A. For each text the
 * program writes one line: the bytes that WideCharToMultiByte(1252, 0, ...)
 * makes of it (best fit on, the default character "?") once NormalizeString
 * has composed it to NFC (a text it cannot compose, one holding a code point
 * that Unicode leaves unassigned, as it is), as two hexadecimal digits each. */
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>

static void Convert(const WCHAR* text, int length) {
    WCHAR composed[4096];
    char bytes[8192];
    int size = length;
    if (length > 0) {
        const WCHAR* from = composed;
        size = NormalizeString(NormalizationC, text, length, composed, 4096);
        if (size <= 0 && GetLastError() == ERROR_NO_UNICODE_TRANSLATION) {
            from = text;
            size = length;
        } else if (size <= 0) {
            fprintf(stderr, "NormalizeString failed: %lu\n", GetLastError());
            exit(3);
        }
        size = WideCharToMultiByte(1252, 0, from, size, bytes, sizeof bytes, NULL, NULL);
        if (size <= 0) {
            fprintf(stderr, "WideCharToMultiByte failed: %lu\n", GetLastError());
            exit(3);
        }
    }
    for (int i = 0; i < size; ++i) printf("%02x", (unsigned char)bytes[i]);
    printf("\n");
}

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: bestfit1252.exe FILE\n");
        return 2;
    }
    FILE* file = fopen(argv[1], "rb");
    if (!file) {
        fprintf(stderr, "cannot open %s\n", argv[1]);
        return 2;
    }
    WCHAR text[4096];
    int length = 0;
    unsigned char unit[2];
    while (fread(unit, 1, 2, file) == 2) {
        const WCHAR c = (WCHAR)(unit[0] | unit[1] << 8);
        if (c == L'\n') {
            Convert(text, length);
            length = 0;
        } else if (length < 4096) {
            text[length++] = c;
        }
    }
    fclose(file);
    return 0;
}
