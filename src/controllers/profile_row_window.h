#pragma once
// The profile row of both mapping dialogs: the list of saved profiles and
// "Load", "Save as…" and "Delete". Loading only fills the dialog's lists;
// the mapping file is written by "Ok" as ever.

#include <QObject>
#include <QString>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "controllers/mapping_profile.h"
#include "shell/file_status.h"

class QAbstractButton;
class QComboBox;
class QWidget;

namespace velox::ui {

class ProfileRow : public QObject {
  Q_OBJECT
 public:
  struct Controls {
    QWidget* dialog;
    QComboBox* list;
    QAbstractButton* load;
    QAbstractButton* save;
    QAbstractButton* remove;
  };
  struct Hooks {
    std::function<std::string()> shownBytes;  // the profile of the choices shown
    // Reads the profile and shows it, or says why not, leaving the lists as they were.
    std::function<Status(const std::filesystem::path&)> load;
  };
  ProfileRow(const Controls& controls, MappingKind kind, Hooks hooks);

  // Lists the folder afresh, choosing the named profile (else the one chosen before).
  void Refresh(const QString& choose = {});
  // Loads the named profile; false, after telling the player, when it cannot.
  bool Load(const QString& name);

 signals:
  void ListChanged();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void SaveAs();
  void Delete();
  const ProfileEntry* Chosen() const;

  Controls c_;
  MappingKind kind_;
  Hooks hooks_;
  std::vector<ProfileEntry> profiles_;
};

}  // namespace velox::ui
