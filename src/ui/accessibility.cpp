#include "ui/accessibility.h"

#include <QAbstractButton>
#include <QLabel>

#include "ui/velox_dialog.h"

namespace velox::ui {

void NameWindow(QWidget* window, const QString& what) {
  window->setAccessibleName(what + QStringLiteral(" \u2014 ") + QString::fromLatin1(kWindowCaption));
}

void MakeCheckedOptionTheTabStop(const QList<QAbstractButton*>& options) {
  if (options.isEmpty()) return;
  const auto follow = [options] {
    QAbstractButton* stop = options.front();
    for (QAbstractButton* option : options) {
      if (option->isChecked()) stop = option;
    }
    // Click focus keeps the unchecked options in reach of the mouse and the arrows.
    for (QAbstractButton* option : options) option->setFocusPolicy(option == stop ? Qt::StrongFocus : Qt::ClickFocus);
  };
  for (QAbstractButton* option : options) QObject::connect(option, &QAbstractButton::toggled, option, follow);
  follow();
}

void MakeReadable(QLabel* label) {
  label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  SetReadableText(label, label->text());
}

void SetReadableText(QLabel* label, const QString& text) {
  label->setText(text);
  label->setFocusPolicy(text.isEmpty() ? Qt::NoFocus : Qt::StrongFocus);
}

}  // namespace velox::ui
