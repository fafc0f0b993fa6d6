#include "ui/velox_dialog.h"

#include <QKeyEvent>
#include <QPushButton>

namespace velox::ui {

VeloxDialog::VeloxDialog(QWidget* parent) : QDialog(parent) {
  setAttribute(Qt::WA_DeleteOnClose);
  setModal(false);
}

void VeloxDialog::keyPressEvent(QKeyEvent* event) {
  // A button that leaves Enter to the dialog (autoDefault off) must still never
  // let it fall through to "Ok" while the user looks at "Cancel".
  if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
      if (auto* button = qobject_cast<QPushButton*>(focusWidget()); button && button->isVisible()) {
        if (button->isEnabled()) button->click();
        event->accept();
        return;
      }
    }
  }
  QDialog::keyPressEvent(event);
}

}  // namespace velox::ui
