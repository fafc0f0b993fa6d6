#pragma once
// What screen readers and keyboard users need from every window beyond its
// captions: a window name that says which window it is, option groups whose
// checked member is the one tab stop, and data labels that can be reached.

#include <QList>
#include <QString>

class QAbstractButton;
class QLabel;
class QWidget;

namespace velox::ui {

// Gives the window the caption all windows share, kWindowCaption, and the
// accessible name "Configure Video — <caption>": the name tells them apart.
void NameWindow(QWidget* window, const QString& what);

// Tab enters an exclusive group at its checked option (the first one while none
// is checked); the arrow keys move within the group, as on every desktop.
void MakeCheckedOptionTheTabStop(const QList<QAbstractButton*>& options);

// A label whose text comes and goes is hidden while empty, keeping its room:
// an empty label would be read under its frame's title.
void HideWhileEmpty(QLabel* label);
// A label showing data: its text stays its accessible name, and it can be
// reached and read from the keyboard while it shows something.
void MakeReadable(QLabel* label);
// Sets the text of either kind of label.
void SetReadableText(QLabel* label, const QString& text);

}  // namespace velox::ui
