#pragma once
// The folder pickers Form6 ("Roms Folder") and Form7 ("Saves Folder"): a drive
// list and a folder list that start at the folder in the text box they are given
// (one of the general settings dialog's) and put the chosen folder back into it.

#include <QLineEdit>
#include <QPointer>
#include <QString>
#include <memory>

#include "ui/single_window.h"
#include "ui/velox_dialog.h"

class QTreeWidgetItem;

namespace Ui {
class FolderPicker;
}

namespace velox::ui {

class FolderPickerWindow : public VeloxDialog {
  Q_OBJECT
 public:
  FolderPickerWindow(const QString& objectName, const QString& caption, QWidget* parent = nullptr);
  ~FolderPickerWindow() override;

  // The box to start from and to fill; set by the window that shows the picker, before it loads.
  void SetBox(QLineEdit* box) { box_ = box; }

  // The folder list's current folder as the platform writes it ("C:\", "C:\Games", "/", "/home/ann").
  QString CurrentFolder() const;
  // The drive list's drive ("C:", or a mount point such as "/" or "/media/usb").
  QString CurrentDrive() const;

  // Where a picker goes when a folder or drive cannot be opened.
  static QString FallbackFolder();
  static QString FallbackDrive();

  // Opens a folder in the folder list as a double click would; false when it can't be opened.
  bool OpenFolder(const QString& folder);

 protected:
  void PickerLoad();
  void PickerDriveChange();
  void PickerOk();
  void PickerCancel();

  virtual void DriveChanged() = 0;
  virtual void OkClicked() = 0;
  virtual void CancelClicked() = 0;

 private:
  void FallBack();
  void ChooseDrive(const QString& drive);
  void OpenItem(QTreeWidgetItem* item);
  bool eventFilter(QObject* watched, QEvent* event) override;

  std::unique_ptr<Ui::FolderPicker> ui_;
  QPointer<QLineEdit> box_;
  QString folder_;  // clean absolute path with "/" separators; empty while none could be opened
};

class Form6Window : public FolderPickerWindow {
  Q_OBJECT
 public:
  explicit Form6Window(QWidget* parent = nullptr);
  static SingleWindow<Form6Window>& Instance();

  void Load() override { Form6_Form_Load(); }
  void Form6_Form_Load() { PickerLoad(); }
  void Form6_Drive1_Change() { PickerDriveChange(); }
  void Form6_Command1_Click() { PickerOk(); }
  void Form6_Command2_Click() { PickerCancel(); }

 protected:
  void DriveChanged() override { Form6_Drive1_Change(); }
  void OkClicked() override { Form6_Command1_Click(); }
  void CancelClicked() override { Form6_Command2_Click(); }
};

class Form7Window : public FolderPickerWindow {
  Q_OBJECT
 public:
  explicit Form7Window(QWidget* parent = nullptr);
  static SingleWindow<Form7Window>& Instance();

  void Load() override { Form7_Form_Load(); }
  void Form7_Form_Load() { PickerLoad(); }
  void Form7_Drive1_Change() { PickerDriveChange(); }
  void Form7_Command1_Click() { PickerOk(); }
  void Form7_Command2_Click() { PickerCancel(); }

 protected:
  void DriveChanged() override { Form7_Drive1_Change(); }
  void OkClicked() override { Form7_Command1_Click(); }
  void CancelClicked() override { Form7_Command2_Click(); }
};

}  // namespace velox::ui
