#pragma once
// Image1 of both mapping dialogs: the console controller seen from above, with
// a thin line from each of its fourteen buttons to the list that sets it. The
// lines end at the lists' actual heights, so they stay aligned at any size and
// any screen scale.

#include <QPointF>
#include <QPointer>
#include <QWidget>
#include <array>
#include <bitset>

#include "controllers/controller_button.h"

class QComboBox;

namespace velox::ui {

class ControllerPicture : public QWidget {
  Q_OBJECT
 public:
  explicit ControllerPicture(QWidget* parent = nullptr);

  // combos[k-1] is the list of position k. Lists left of the picture get
  // their lines from the left edge, the others from the right edge.
  void SetCombos(const std::array<QWidget*, kControllerButtonCount>& combos);

  // Where the line of a position starts (on its button) and ends (at the
  // picture's edge), in this widget's coordinates.
  QPointF ButtonPoint(int position) const;
  QPointF LineEnd(int position) const;

  // The button the player is asked to press for now: its line and a ring
  // around it stand out. 0 for none.
  void SetWalkPosition(int position);
  int WalkPosition() const { return walkPosition_; }
  // The buttons that the pad buttons held now would press (bit k-1 for
  // position k), lit up.
  void SetHeld(std::bitset<kControllerButtonCount> held);
  std::bitset<kControllerButtonCount> Held() const { return held_; }

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QTransform DrawingTransform() const;
  bool OnLeft(int position) const;

  std::array<QPointer<QWidget>, kControllerButtonCount> combos_;
  int walkPosition_ = 0;
  std::bitset<kControllerButtonCount> held_;
};

// The form's Combo1 to Combo14, in position order, each joined to its button
// in the picture by a line.
std::array<QComboBox*, kControllerButtonCount> AttachCombos(QWidget* form, ControllerPicture* picture);

}  // namespace velox::ui
