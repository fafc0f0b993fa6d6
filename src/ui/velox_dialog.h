#pragma once
// Base of every dialog: modeless, dropped when closed
// (a later show builds and loads it afresh), Escape closes it like "Cancel",
// and Enter presses the button that has the focus (the default button only
// when the focus is elsewhere, in a text box or a list).

#include <QDialog>

#include "velox_version.h"

namespace velox::ui {

// Every window's caption (NameWindow sets it) and every message box's.
inline constexpr const char* kWindowCaption = "Velox Configurator v" VELOX_VERSION;

class VeloxDialog : public QDialog {
  Q_OBJECT
 public:
  explicit VeloxDialog(QWidget* parent = nullptr);

  // Reads the window's files into its controls; runs once per load, before the window is shown.
  virtual void Load() = 0;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace velox::ui
