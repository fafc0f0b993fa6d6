#pragma once
// What both mapping dialogs add over their fourteen lists: the walk that asks
// for each console button in turn ("Map by pressing"), the status line that
// says what to press, choosing by a press in the focused list, and the marks
// on lists whose choice is also made elsewhere.

#include <QObject>
#include <QString>
#include <array>

#include "controllers/controller_button.h"
#include "controllers/mapping_walk.h"

class QAbstractButton;
class QComboBox;
class QDialog;
class QKeyEvent;
class QLabel;

namespace velox::ui {

class ControllerPicture;

class PressMapping : public QObject {
  Q_OBJECT
 public:
  struct Controls {
    QDialog* dialog;
    std::array<QComboBox*, kControllerButtonCount> combos;  // position order
    ControllerPicture* picture;
    QAbstractButton* start;  // "Map by pressing"
    QAbstractButton* ok;
    QLabel* status;
  };
  // `none` is the lists' entry for "nothing chosen"; `highestWins` says that
  // when saved, a choice made at several positions serves the highest only.
  PressMapping(const Controls& controls, WalkDevice device, QString none, bool highestWins);
  ~PressMapping() override;

  void StartWalk();
  bool Walking() const { return walk_.Active(); }
  int WalkPosition() const { return walk_.Position(); }

  // A pad button (its list entry) pressed: during a walk it is the walk's
  // choice; otherwise it goes to the focused list, and the focus moves on.
  void ChooseByPress(const QString& entry);
  // Closes the list of the fourteen that is open, if one is, giving the focus
  // back to it; false when none is open.
  bool CloseOpenList();

  // Shown when no walk runs.
  void SetIdleText(const QString& text);
  QString StatusText() const;

  // Marks every list whose choice is also made at another position.
  void UpdateConflicts();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ShowStep();
  void StopWalk(const QString& status);
  void ChooseAtWalk(const QString& entry);
  bool HandleWalkKey(QKeyEvent* event);
  void FocusChanged(QWidget* now);
  void SetStatus(const QString& text);
  void RefreshDescription(int position);
  int PositionOf(const QWidget* widget) const;

  Controls c_;
  WalkDevice device_;
  QString none_;
  bool highestWins_;
  MappingWalk walk_;
  QString idleText_;
  std::array<QString, kControllerButtonCount> baseDescription_;
  std::array<QString, kControllerButtonCount> baseToolTip_;
  std::array<QString, kControllerButtonCount> conflict_;
  std::array<int, kControllerButtonCount> markedItem_;
};

}  // namespace velox::ui
