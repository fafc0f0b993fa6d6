#pragma once
// The general settings dialog, Form5: the folders, resolutions and sound of the
// "[default]" section of velox.ini in AppFolder.

#include <QString>
#include <memory>

#include "ui/single_window.h"
#include "ui/velox_dialog.h"

class QLineEdit;

namespace Ui {
class Form5;
}

namespace velox::ui {

class Form5Window : public VeloxDialog {
  Q_OBJECT
 public:
  explicit Form5Window(QWidget* parent = nullptr);
  ~Form5Window() override;

  static SingleWindow<Form5Window>& Instance();

  void Load() override { Form5_Form_Load(); }

  void Form5_Form_Load();
  void Form5_Command1_Click();
  void Form5_Command2_Click();
  void Form5_Command3_Click();
  void Form5_Command4_Click();
  void Form5_Check1_Click();
  void Form5_Check2_Click();

  // The folder boxes that the pickers read and fill.
  QLineEdit* Text1() const;
  QLineEdit* Text2() const;

 private:
  std::unique_ptr<Ui::Form5> ui_;
  // Whether the last load read the file, and what the folder boxes showed after it.
  bool read_ = false;
  QString shownText1_;
  QString shownText2_;
};

}  // namespace velox::ui
