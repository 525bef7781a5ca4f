#include "app/ui/WorkArea.h"

#include "app/ui/Gradient.h"
#include "app/ui/PictureButton.h"
#include "app/ui/StatusLine.h"

#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace ui {

WorkArea MakeWorkArea(QWidget* window, QSize contentSize, const QString& statusText) {
    WorkArea area{};
    area.background = new Gradient(QStringLiteral("bkgSfondo"), colour::kSteelBlue, colour::kWhite, window);
    auto* outer = new QVBoxLayout(window);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    outer->addWidget(area.background, 1);

    area.content = new QWidget(area.background);
    area.content->setObjectName(QStringLiteral("panContenuto"));
    area.content->setFixedSize(contentSize);
    auto* centre = new QGridLayout(area.background);
    centre->addWidget(area.content, 0, 0, Qt::AlignCenter);

    const QColor blue(30, 80, 150);
    auto* shpInfo = new Gradient(QStringLiteral("shpInfo"), blue, blue, window);
    shpInfo->setFixedHeight(30);
    outer->addWidget(shpInfo);
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

QLabel* BuildCommandBar(const WorkArea& area, const std::vector<Command>& commands,
                        const std::vector<std::size_t>& groupEnds, std::size_t numberAfter) {
    QLabel* lblPosizione = nullptr;
    int x = 0;
    std::size_t first = 0;
    for (std::size_t end : groupEnds) {
        auto* group = new Gradient(QStringLiteral("shpGruppo%1").arg(first), colour::kWhite, colour::kWhite,
                                   area.content);
        group->SetOutline(QColor(176, 196, 222));
        area.status->AddBackground(group);
        int gx = 8;
        for (std::size_t i = first; i <= end; ++i) {
            const Command& c = commands[i];
            c.member = new PictureButton(QString::fromLatin1(c.name), QString::fromLatin1(c.picture), c.size, group);
            c.member->move(gx, 8);
            gx += c.size.width() + 8;
            QObject::connect(c.member, &PictureButton::clicked, group, c.click);
            area.status->AddCommand(c.member, QString::fromUtf8(c.sentence));
            if (i == numberAfter) {
                lblPosizione = new QLabel(group);
                lblPosizione->setObjectName(QStringLiteral("lblPosizione"));
                lblPosizione->setAlignment(Qt::AlignCenter);
                lblPosizione->setFont(QFont(QStringLiteral("Verdana"), 14, QFont::Bold));
                lblPosizione->setGeometry(gx, 8, 64, 48);
                gx += 64 + 8;
            }
        }
        group->setGeometry(x, 0, gx, 64);
        x += gx + 10;
        first = end + 1;
    }
    return lblPosizione;
}

}  // namespace ui
