#pragma once
// Form2, the gamepad mapping dialog: one joystick button per controller
// button, and a live view of the button held on the gamepad.

#include <QComboBox>
#include <QTimer>
#include <array>
#include <memory>
#include <tuple>

#include "controllers/controller_button.h"
#include "controllers/gamepad_mapping.h"
#include "controllers/press_mapping_window.h"
#include "controllers/profile_row_window.h"
#include "ui/single_window.h"
#include "ui/velox_dialog.h"

namespace Ui {
class Form2;
}

namespace velox::ui {

class Form2Window : public VeloxDialog {
  Q_OBJECT
 public:
  explicit Form2Window(QWidget* parent = nullptr);
  ~Form2Window() override;

  static SingleWindow<Form2Window>& Instance();

  void Load() override { Form2_Form_Load(); }

  void Form2_Form_Load();
  void Form2_Timer1_Timer();
  void Form2_Command1_Click();
  void Form2_Command2_Click();

  GamepadMapping ShownMapping() const;
  QTimer* Timer1() const { return timer_; }
  PressMapping* Press() const { return press_; }
  ProfileRow* Profiles() const { return profiles_; }

 private:
  std::unique_ptr<Ui::Form2> ui_;
  std::array<QComboBox*, kControllerButtonCount> combos_{};
  QTimer* timer_ = nullptr;
  PressMapping* press_ = nullptr;
  std::uint32_t lastButtons_ = 0;  // at the previous read: a press counts once
  std::tuple<bool, unsigned, int> shownPad_{false, ~0u, -1};  // support, generation, count
  void ShowPad();
  ProfileRow* profiles_ = nullptr;
  QString offered_;  // the profile the status line offers for the pad
  void OfferProfile();
  void ShowOffer(const QString& profile);
};

}  // namespace velox::ui
