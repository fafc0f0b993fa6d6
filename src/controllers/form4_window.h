#pragma once
// Form4, the keyboard mapping dialog: one key per controller button.

#include <QComboBox>
#include <array>
#include <memory>

#include "controllers/controller_button.h"
#include "controllers/keyboard_mapping.h"
#include "controllers/press_mapping_window.h"
#include "controllers/profile_row_window.h"
#include "ui/single_window.h"
#include "ui/velox_dialog.h"

namespace Ui {
class Form4;
}

namespace velox::ui {

class Form4Window : public VeloxDialog {
  Q_OBJECT
 public:
  explicit Form4Window(QWidget* parent = nullptr);
  ~Form4Window() override;

  static SingleWindow<Form4Window>& Instance();

  void Load() override { Form4_Form_Load(); }

  void Form4_Form_Load();
  void Form4_Command1_Click();
  void Form4_Command2_Click();

  KeyboardMapping ShownMapping() const;
  PressMapping* Press() const { return press_; }
  ProfileRow* Profiles() const { return profiles_; }

 private:
  std::unique_ptr<Ui::Form4> ui_;
  std::array<QComboBox*, kControllerButtonCount> combos_{};
  PressMapping* press_ = nullptr;
  ProfileRow* profiles_ = nullptr;
};

}  // namespace velox::ui
