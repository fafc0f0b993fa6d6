#pragma once
// Form8, the controller mode dialog: the six modes, the two mapping dialogs
// and the "Ok" that stores the mode and writes velox.pad.

#include <memory>
#include <optional>

#include "controllers/controller_mode.h"
#include "ui/single_window.h"
#include "ui/velox_dialog.h"

class QRadioButton;

namespace Ui {
class Form8;
}

namespace velox::ui {

class Form8Window : public VeloxDialog {
  Q_OBJECT
 public:
  explicit Form8Window(QWidget* parent = nullptr);
  ~Form8Window() override;

  static SingleWindow<Form8Window>& Instance();

  void Load() override { Form8_Form_Load(); }

  void Form8_Form_Load();
  // Follows the selection (in place of a polling timer).
  void Form8_Option_Click();
  void Form8_Command1_Click();
  void Form8_Command2_Click();
  void Form8_Command3_Click();
  void Form8_Command4_Click();

  std::optional<ControllerMode> SelectedMode() const;

 private:
  QRadioButton* OptionFor(ControllerMode mode) const;

  std::unique_ptr<Ui::Form8> ui_;
};

}  // namespace velox::ui
