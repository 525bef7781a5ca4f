#include "ui/PictureButton.h"

#include "ui/Accessibility.h"
#include "ui/Gradient.h"

#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QXmlStreamReader>

#include <algorithm>

namespace ui {
namespace {
// The texts of the picture's text elements, in their order, one space
// between them; nothing when they hold no letter or digit.
QString WordsOf(const QString& picture) {
    QFile file(Artwork::SourceFile(picture));
    if (!file.open(QIODevice::ReadOnly)) return {};
    QXmlStreamReader svg(&file);
    QStringList words;
    int inText = 0;
    while (!svg.atEnd()) {
        switch (svg.readNext()) {
        case QXmlStreamReader::StartElement:
            if (svg.name() == QLatin1String("text")) ++inText;
            if (inText && (svg.name() == QLatin1String("text") || svg.name() == QLatin1String("tspan"))) words << QString();
            break;
        case QXmlStreamReader::EndElement:
            if (svg.name() == QLatin1String("text")) --inText;
            break;
        case QXmlStreamReader::Characters:
            if (inText && !words.isEmpty()) words.last() += svg.text();
            break;
        default:
            break;
        }
    }
    const QString joined = words.join(u' ').simplified();
    return std::any_of(joined.begin(), joined.end(), [](QChar c) { return c.isLetterOrNumber(); }) ? joined
                                                                                                   : QString();
}
}  // namespace

PictureButton::PictureButton(const QString& name, const QString& picture, QSize size, QWidget* parent)
    : QWidget(parent), art_(picture), words_(WordsOf(picture)) {
    setObjectName(name);
    setFixedSize(size);
    setCursor(Qt::PointingHandCursor);
}

void PictureButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    art_.Draw(painter, pressed_ ? QRectF(rect()).translated(1, 1) : QRectF(rect()));
    if (hasFocus()) {
        painter.setPen(QPen(colour::kDarkBlue, 2, Qt::DotLine));
        painter.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
    }
}

void PictureButton::FocusByKey(Qt::FocusReason reason) {
    setFocus(reason);
    for (QWidget* above = parentWidget(); above; above = above->parentWidget())
        if (auto* scroll = qobject_cast<QScrollArea*>(above)) scroll->ensureWidgetVisible(this);
}

void PictureButton::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!event->isAutoRepeat()) click();
        break;
    case Qt::Key_Left:
    case Qt::Key_Up:
        focusNextPrevChild(false);
        break;
    case Qt::Key_Right:
    case Qt::Key_Down:
        focusNextPrevChild(true);
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

// Tab and the arrows go round the window's commands.
bool PictureButton::focusNextPrevChild(bool next) {
    const std::vector<PictureButton*> commands = CommandsOf(window());
    const auto at = std::find(commands.begin(), commands.end(), this);
    if (at == commands.end()) return QWidget::focusNextPrevChild(next);
    const std::size_t i = std::size_t(at - commands.begin());
    const std::size_t n = commands.size();
    commands[next ? (i + 1) % n : (i + n - 1) % n]->FocusByKey(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
}

void PictureButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    pressed_ = true;
    update();
}

void PictureButton::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !pressed_) return;
    pressed_ = false;
    update();
    if (rect().contains(event->position().toPoint())) emit clicked();
}

PictureButton* AddCommand(const Command& command, QWidget* parent, QPoint at) {
    command.member = new PictureButton(QString::fromLatin1(command.name), QString::fromLatin1(command.picture),
                                       command.size, parent);
    command.member->move(at);
    QObject::connect(command.member, &PictureButton::clicked, parent, command.click);
    return command.member;
}

QPushButton* NewButton(const QString& name, const QString& text, QRect geometry, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setFont(QFont(QStringLiteral("Verdana"), 10, QFont::Bold));
    button->setCursor(Qt::PointingHandCursor);
    button->setGeometry(geometry);
    return button;
}

QLabel* NewCaption(const QString& text, QWidget* parent, QPoint at) {
    auto* label = new QLabel(text, parent);
    label->setFont(QFont(QStringLiteral("Verdana"), 10, QFont::Bold));
    label->setStyleSheet(QStringLiteral("color: #1d3f63;"));
    label->move(at);
    label->adjustSize();
    return label;
}

Picture::Picture(const QString& name, const QString& picture, QSize size, QWidget* parent)
    : QWidget(parent), art_(picture), words_(WordsOf(picture)) {
    setObjectName(name);
    setFixedSize(size);
}

void Picture::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    art_.Draw(painter, QRectF(rect()));
}

}  // namespace ui
