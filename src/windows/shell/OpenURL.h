#pragma once
#include <QString>
#include <QUrl>

#include <functional>

// Hands a document path, a web address or a "mailto:" address to the
// desktop to open with its associated program; the outcome is ignored.
class TMisc {
public:
    static void Open(const QString& sCommand);

    // What receives the target: the desktop's opener unless replaced (tests
    // observe the targets here). An empty opener restores the desktop's.
    // Returns the opener it replaces.
    using Opener = std::function<void(const QUrl&)>;
    static Opener SetOpener(Opener opener);
};

// The maker's web site, opened from the launcher and the splash window.
inline const QString kSitoProduttore = QStringLiteral("https://www.velmora.example");
// The maker's support address, written to from the information window.
inline const QString kPostaAssistenza = QStringLiteral("assistenza@velmora.example");
