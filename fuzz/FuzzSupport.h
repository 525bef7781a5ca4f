#pragma once
#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

// A program folder for the fuzzers' files, made once per process.
class FuzzFolder {
public:
    const QString& Path() const { return path_; }
    QString File(const char* name) const { return path_ + QLatin1Char('/') + QLatin1String(name); }
    // Puts the bytes in the folder as the named file.
    void Put(const char* name, const QByteArray& bytes) const {
        QFile file(File(name));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
            Fail("cannot write the fuzzer's file");
    }

    [[noreturn]] static void Fail(const char* what) {
        std::fprintf(stderr, "%s\n", what);
        std::abort();
    }

private:
    QTemporaryDir dir_;
    QString path_ = dir_.path();
};

// A property that must hold for every input: a fuzzer that finds one that
// breaks it stops with the input saved.
#define FUZZ_CHECK(condition) \
    do {                      \
        if (!(condition)) FuzzFolder::Fail("failed: " #condition); \
    } while (false)
