#include "ui/WorkArea.h"

#include "ui/Gradient.h"
#include "ui/PictureButton.h"
#include "ui/StatusLine.h"

#include <QFontMetrics>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace ui {
namespace {

// A label that always shows its whole text: a text wider than the label is
// drawn in a font just small enough to fit ("101000" in the record number).
class WholeTextLabel : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent*) override {
        const QRect room = contentsRect();
        QFont font = this->font();
        const int width = QFontMetrics(font).horizontalAdvance(text());
        if (width > room.width()) font.setPointSizeF(font.pointSizeF() * room.width() / width);
        while (QFontMetrics(font).horizontalAdvance(text()) > room.width() && font.pointSizeF() > 2)
            font.setPointSizeF(font.pointSizeF() - 0.5);
        QPainter painter(this);
        painter.setFont(font);
        painter.setPen(palette().color(foregroundRole()));
        painter.drawText(room, int(alignment()), text());
    }
};

}  // namespace

WorkArea MakeWorkArea(QWidget* window, QSize contentSize, const QString& statusText) {
    const Backdrop backdrop = MakeBackdrop(window, QStringLiteral("panContenuto"), contentSize);
    WorkArea area{};
    area.background = backdrop.background;
    area.content = backdrop.panel;

    const QColor blue(30, 80, 150);
    auto* shpInfo = new Gradient(QStringLiteral("shpInfo"), blue, blue, window);
    shpInfo->setFixedHeight(30);
    backdrop.layout->addWidget(shpInfo);
    area.panInfo = new QLabel(statusText, shpInfo);
    area.panInfo->setObjectName(QStringLiteral("panInfo"));
    area.panInfo->setStyleSheet(QStringLiteral("color: white;"));
    area.panInfo->setFont(QFont(QStringLiteral("Verdana"), 10, QFont::Bold));
    auto* statusLayout = new QVBoxLayout(shpInfo);
    statusLayout->setContentsMargins(12, 0, 12, 0);
    statusLayout->addWidget(area.panInfo);

    area.status = new StatusLine(area.panInfo, window);
    area.status->AddBackground(window);
    area.status->AddBackground(area.background);
    area.status->AddBackground(area.content);
    return area;
}

QLabel* BuildCommandBar(const WorkArea& area, const std::vector<CommandGroup>& groups) {
    QLabel* lblPosizione = nullptr;
    int x = 0;
    std::size_t commands = 0;
    for (const CommandGroup& items : groups) {
        // Named by the number of commands before it.
        auto* group = new Gradient(QStringLiteral("shpGruppo%1").arg(commands), colour::kWhite, colour::kWhite,
                                   area.content);
        group->SetOutline(QColor(176, 196, 222));
        area.status->AddBackground(group);
        int gx = 8;
        for (const auto& item : items) {
            if (const auto* c = std::get_if<Command>(&item)) {
                AddCommand(*c, group, QPoint(gx, 8));
                area.status->AddCommand(c->member, QString::fromUtf8(c->sentence));
                gx += c->size.width() + 8;
                ++commands;
            } else {
                lblPosizione = new WholeTextLabel(group);
                lblPosizione->setObjectName(QStringLiteral("lblPosizione"));
                lblPosizione->setAlignment(Qt::AlignCenter);
                lblPosizione->setFont(QFont(QStringLiteral("Verdana"), 14, QFont::Bold));
                lblPosizione->setGeometry(gx, 8, 64, 48);
                gx += 64 + 8;
            }
        }
        group->setGeometry(x, 0, gx, 64);
        x += gx + 10;
    }
    return lblPosizione;
}

}  // namespace ui
