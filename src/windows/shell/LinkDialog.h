#pragma once
#include "ui/WindowFrame.h"

#include <QColor>
#include <QString>

class QLabel;
class QPushButton;
namespace ui { class Picture; class PictureButton; }

// What the help, information and splash windows have in common: a shaded
// background, a heading picture at the top, at the bottom left an icon with an
// underlined text link that both open one target through TMisc::Open, and
// "Chiudi" at the bottom right. Pressing the mouse on the link or its icon
// turns the text orange; releasing it, its own colour again (dark blue on a
// light background).
class LinkDialog : public ui::Dialog {
public:
    // The look of one window.
    struct Look {
        const char* caption;
        QSize client;
        ui::Centre centre;
        QColor top, bottom;        // the background's shades
        const char* logo;          // heading picture in images/
        QRect logoGeometry;
        QColor logoOutline;        // the white box around the heading; none when invalid
        const char* iconName;      // imgPDF, imgEmail, imgWeb
        const char* iconPicture;
        int buttonPoints;          // size of the Verdana font of "Chiudi"
        QColor link;               // the link's colour, at a contrast of 4.5:1 at least on the background
    };

    ui::Picture* imgLogo;
    QLabel* lnkWeb;
    QPushButton* btnChiudi;

    // A click on the link or its icon: the text takes its own colour again
    // and the target is handed to TMisc::Open. The window stays open.
    void lnkWebClick();

    const QString& Target() const { return target_; }

    static const QColor kPressed;   // orange

protected:
    LinkDialog(QWidget* owner, const Look& look, const QString& linkText, QString target);

    // The icon beside the link.
    ui::PictureButton* icon;

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SetLinkColour(const QColor& colour);

    QString target_;
    QColor link_;
};
