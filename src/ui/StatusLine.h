#pragma once
#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>

class QLabel;
class QWidget;

namespace ui {

// The status line under the mouse: moving over a command writes its fixed
// sentence into panInfo; moving over the window's background (not over a
// control lying on it) empties it. Nothing happens on leaving a command.
class StatusLine : public QObject {
public:
    StatusLine(QLabel* panInfo, QObject* parent);

    void AddCommand(QWidget* command, const QString& sentence);
    void AddBackground(QWidget* background);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* panInfo_;
    QHash<const QObject*, QString> commands_;
    QSet<const QObject*> backgrounds_;
};

}  // namespace ui
