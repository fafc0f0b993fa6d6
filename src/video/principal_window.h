#pragma once
// The video dialog, principal: picks one of the fourteen video choices, shows
// its description, starts a wrapper's setup program, and on "Ok" installs the
// choice into the current directory and records it.

#include <filesystem>
#include <memory>
#include <string_view>

#include "ui/single_window.h"
#include "ui/velox_dialog.h"
#include "video/video_choice.h"

class QButtonGroup;

namespace Ui {
class principal;
}

namespace velox::ui {

class PrincipalWindow : public VeloxDialog {
  Q_OBJECT
 public:
  explicit PrincipalWindow(QWidget* parent = nullptr);
  ~PrincipalWindow() override;

  static SingleWindow<PrincipalWindow>& Instance();

  void Load() override { principal_Form_Load(); }

  void principal_Form_Load();
  // Any option becoming selected, by mouse or keyboard: its description follows at once.
  void principal_Option_Click(int choice);
  void principal_config1_Click();
  void principal_config3_Click();
  void principal_config4_Click();
  void principal_config5_Click();
  void principal_config6_Click();
  void principal_config10_Click(int index);
  void principal_config11_Click();
  void principal_Command1_Click();
  void principal_Command2_Click();

  // The selected option's choice number, or none.
  VideoChoice SelectedChoice() const;

 private:
  void StartSetup(std::string_view button);
  void ReportInstallFailure(VideoChoice choice, const FileError& error, const VideoInstallSteps& done);

  std::unique_ptr<Ui::principal> ui_;
  QButtonGroup* options_;
  std::filesystem::path appFolder_;
};

}  // namespace velox::ui
