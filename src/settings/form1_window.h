#pragma once
// The patch and cheat editor, Form1: lists the games of the bare "velox.ini" in
// the current directory and switches single entries on or off, each switch
// written at once.

#include <memory>
#include <string>
#include <vector>

#include "ui/single_window.h"
#include "ui/velox_dialog.h"

namespace Ui {
class Form1;
}

namespace velox::ui {

class Form1Window : public VeloxDialog {
  Q_OBJECT
 public:
  explicit Form1Window(QWidget* parent = nullptr);
  ~Form1Window() override;

  static SingleWindow<Form1Window>& Instance();

  void Load() override { Form1_Form_Load(); }

  void Form1_Form_Load();
  void Form1_Combo1_Click();
  void Form1_List1_Click();
  void Form1_Command1_Click();
  void Form1_Command2_Click();

 private:
  void FillGameView();
  void Switch(bool on);

  std::unique_ptr<Ui::Form1> ui_;
  // The file's own bytes behind the rows of Combo1 and List1, so that what is
  // written back matches the file exactly whatever the display makes of it.
  std::vector<std::string> games_;
  std::vector<std::string> entries_;
};

}  // namespace velox::ui
