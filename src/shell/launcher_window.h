#pragma once
// The launcher, Form3: the start-up window from which every dialog is opened,
// the emulator started and its help file opened.

#include <QWidget>
#include <filesystem>
#include <functional>
#include <memory>

namespace Ui {
class Form3;
}

namespace velox::ui {

// How the launcher reaches the rest of the system; a missing action leaves its
// button disabled.
struct LauncherActions {
  std::function<void()> showVideo;        // Command2
  std::function<void()> showControllers;  // Command5
  std::function<void()> showSettings;     // Command4
  std::function<void()> showPatches;      // Command1
  std::function<void()> quit;             // ends the configurator after the emulator started
};

class Form3Window : public QWidget {
  Q_OBJECT
 public:
  explicit Form3Window(LauncherActions actions, QWidget* parent = nullptr);
  ~Form3Window() override;

  void Form3_Form_Load();
  void Form3_Command1_Click();
  void Form3_Command2_Click();
  void Form3_Command3_Click();
  void Form3_Command4_Click();
  void Form3_Command5_Click();
  void Form3_Command6_Click();

  const std::filesystem::path& appFolder() const { return appFolder_; }

 private:
  std::unique_ptr<Ui::Form3> ui_;
  LauncherActions actions_;
  std::filesystem::path appFolder_;
};

}  // namespace velox::ui
