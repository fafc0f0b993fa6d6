#include "ui/velox_dialog.h"

namespace velox::ui {

VeloxDialog::VeloxDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QString::fromLatin1(kWindowCaption));
  setAttribute(Qt::WA_DeleteOnClose);
  setModal(false);
}

}  // namespace velox::ui
