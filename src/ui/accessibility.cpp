#include "ui/accessibility.h"

#include <QAbstractButton>
#include <QLabel>

#include "ui/velox_dialog.h"

namespace velox::ui {

void NameWindow(QWidget* window, const QString& what) {
  window->setWindowTitle(QString::fromLatin1(kWindowCaption));
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

void HideWhileEmpty(QLabel* label) {
  QSizePolicy policy = label->sizePolicy();
  policy.setRetainSizeWhenHidden(true);
  label->setSizePolicy(policy);
  SetReadableText(label, label->text());
}

void MakeReadable(QLabel* label) {
  label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  HideWhileEmpty(label);
}

void SetReadableText(QLabel* label, const QString& text) {
  label->setText(text);
  const bool reachable = !text.isEmpty() && (label->textInteractionFlags() & Qt::TextSelectableByKeyboard);
  label->setFocusPolicy(reachable ? Qt::StrongFocus : Qt::NoFocus);
  label->setVisible(!text.isEmpty());
}

}  // namespace velox::ui
