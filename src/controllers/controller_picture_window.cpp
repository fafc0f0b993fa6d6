#include "controllers/controller_picture_window.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QLabel>

#include <QEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <algorithm>

namespace velox::ui {

namespace {

// The drawing is made in a 312 by 303 design space and scaled to the widget.
constexpr qreal kDesignWidth = 312;
constexpr qreal kDesignHeight = 303;

// The centre of each button in the design space, by position.
QPointF DesignPoint(int position) {
  switch (static_cast<ButtonName>(position)) {
    case ButtonName::GreenButton: return {194, 100};
    case ButtonName::LeftShoulder: return {84, 58};
    case ButtonName::RightShoulder: return {228, 58};
    case ButtonName::YellowLeft: return {218, 102};
    case ButtonName::YellowUp: return {234, 86};
    case ButtonName::YellowRight: return {250, 102};
    case ButtonName::YellowDown: return {234, 118};
    case ButtonName::BlueButton: return {206, 128};
    case ButtonName::GripTrigger: return {156, 186};
    case ButtonName::CentreButton: return {156, 106};
    case ButtonName::PadUp: return {80, 90};
    case ButtonName::PadLeft: return {66, 104};
    case ButtonName::PadDown: return {80, 118};
    case ButtonName::PadRight: return {94, 104};
  }
  return {};
}

QPainterPath Capsule(QPointF from, QPointF to, qreal width) {
  QPainterPath line(from);
  line.lineTo(to);
  QPainterPathStroker stroker;
  stroker.setWidth(width);
  stroker.setCapStyle(Qt::RoundCap);
  stroker.setJoinStyle(Qt::RoundJoin);
  return stroker.createStroke(line);
}

QPainterPath ControllerOutline() {
  QPainterPath body;
  body.addRoundedRect(QRectF(36, 62, 240, 84), 38, 38);
  QPainterPath shape = body;
  shape = shape.united(Capsule({80, 118}, {66, 240}, 48));   // left handle
  shape = shape.united(Capsule({232, 118}, {246, 240}, 48)); // right handle
  shape = shape.united(Capsule({156, 128}, {156, 232}, 46)); // centre grip
  return shape.simplified();
}

void DrawButton(QPainter& p, QPointF centre, qreal radius, const QColor& fill) {
  p.setBrush(fill);
  p.setPen(QPen(fill.darker(160), 1.2));
  p.drawEllipse(centre, radius, radius);
}

}  // namespace

ControllerPicture::ControllerPicture(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("Image1"));
  setAttribute(Qt::WA_OpaquePaintEvent, false);
}

QSize ControllerPicture::sizeHint() const { return {312, 303}; }
QSize ControllerPicture::minimumSizeHint() const { return {312, 303}; }

void ControllerPicture::SetCombos(const std::array<QWidget*, kControllerButtonCount>& combos) {
  for (size_t i = 0; i < combos.size(); ++i) {
    combos_[i] = combos[i];
    if (combos[i]) combos[i]->installEventFilter(this);
  }
  update();
}

void ControllerPicture::SetWalkPosition(int position) {
  if (walkPosition_ == position) return;
  walkPosition_ = position;
  update();
}

void ControllerPicture::SetHeld(std::bitset<kControllerButtonCount> held) {
  if (held_ == held) return;
  held_ = held;
  update();
}

bool ControllerPicture::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Move || event->type() == QEvent::Resize || event->type() == QEvent::Show) update();
  return QWidget::eventFilter(watched, event);
}

QTransform ControllerPicture::DrawingTransform() const {
  const qreal scale = std::min(width() / kDesignWidth, height() / kDesignHeight);
  QTransform t;
  t.translate((width() - kDesignWidth * scale) / 2, (height() - kDesignHeight * scale) / 2);
  t.scale(scale, scale);
  return t;
}

bool ControllerPicture::OnLeft(int position) const {
  const QWidget* combo = combos_[position - 1];
  if (combo && combo->window() == window()) {
    return combo->mapTo(window(), QPoint(combo->width() / 2, 0)).x() < mapTo(window(), QPoint(width() / 2, 0)).x();
  }
  return DesignPoint(position).x() < kDesignWidth / 2;
}

QPointF ControllerPicture::ButtonPoint(int position) const { return DrawingTransform().map(DesignPoint(position)); }

QPointF ControllerPicture::LineEnd(int position) const {
  const qreal x = OnLeft(position) ? 0.0 : width();
  const QWidget* combo = combos_[position - 1];
  if (combo && combo->window() == window()) {
    const QPoint centre = combo->mapTo(window(), QPoint(0, combo->height() / 2));
    return {x, static_cast<qreal>(mapFrom(window(), centre).y())};
  }
  return {x, ButtonPoint(position).y()};
}

void ControllerPicture::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const QTransform t = DrawingTransform();
  const qreal scale = t.m11();

  p.save();
  p.setTransform(t);
  // Shoulder buttons behind the top edge.
  p.setPen(QPen(QColor(70, 70, 78), 1.2));
  p.setBrush(QColor(150, 150, 160));
  p.drawRoundedRect(QRectF(58, 50, 54, 18), 8, 8);
  p.drawRoundedRect(QRectF(200, 50, 54, 18), 8, 8);

  const QPainterPath outline = ControllerOutline();
  QLinearGradient shell(0, 60, 0, 260);
  shell.setColorAt(0, QColor(214, 214, 222));
  shell.setColorAt(1, QColor(168, 168, 180));
  p.setBrush(shell);
  p.setPen(QPen(QColor(70, 70, 78), 1.6));
  p.drawPath(outline);

  // The trigger lies under the centre grip: shown as a dashed outline.
  p.setBrush(QColor(120, 120, 132, 90));
  p.setPen(QPen(QColor(60, 60, 70), 1.2, Qt::DashLine));
  p.drawRoundedRect(QRectF(144, 172, 24, 30), 6, 6);
  // Analogue stick on the centre grip.
  p.setPen(QPen(QColor(60, 60, 70), 1.2));
  p.setBrush(QColor(110, 110, 120));
  p.drawEllipse(QPointF(156, 142), 13, 13);
  p.setBrush(QColor(140, 140, 150));
  p.drawEllipse(QPointF(156, 142), 7, 7);

  // Direction pad.
  p.setBrush(QColor(55, 55, 62));
  p.setPen(Qt::NoPen);
  p.drawRoundedRect(QRectF(73, 82, 14, 44), 2, 2);
  p.drawRoundedRect(QRectF(58, 97, 44, 14), 2, 2);
  p.restore();

  // The lines, under the buttons' own colours but over the shell.
  // Lit lines go last so that no plain line crosses them.
  const QColor walkColour = palette().color(QPalette::Highlight);
  const QColor heldColour(255, 130, 0);
  std::array<int, kControllerButtonCount> order{};
  for (int i = 0; i < kControllerButtonCount; ++i) order[i] = i + 1;
  std::stable_partition(order.begin(), order.end(),
                        [this](int position) { return position != walkPosition_ && !held_[position - 1]; });
  for (int position : order) {
    const bool walk = position == walkPosition_;
    const bool held = held_[position - 1];
    const QColor colour = walk ? walkColour : held ? heldColour : QColor(30, 30, 30);
    p.setPen(QPen(colour, walk || held ? 2.6 : 1.0));
    const QPointF from = ButtonPoint(position);
    const QPointF end = LineEnd(position);
    const qreal elbowX = end.x() == 0 ? 6.0 * scale : width() - 6.0 * scale;
    const QPointF elbow(elbowX, end.y());
    p.drawLine(from, elbow);
    p.drawLine(elbow, end);
    p.setBrush(colour);
    p.drawEllipse(from, 1.6 * scale, 1.6 * scale);
  }

  p.save();
  p.setTransform(t);
  DrawButton(p, DesignPoint(static_cast<int>(ButtonName::CentreButton)), 8, QColor(210, 40, 40));
  for (ButtonName b : {ButtonName::YellowLeft, ButtonName::YellowUp, ButtonName::YellowRight, ButtonName::YellowDown}) {
    DrawButton(p, DesignPoint(static_cast<int>(b)), 6.5, QColor(240, 200, 30));
  }
  DrawButton(p, DesignPoint(static_cast<int>(ButtonName::GreenButton)), 9, QColor(40, 160, 70));
  DrawButton(p, DesignPoint(static_cast<int>(ButtonName::BlueButton)), 9, QColor(50, 90, 200));

  // Rings over the buttons: a held one glows, the one asked for is circled.
  for (int position = 1; position <= kControllerButtonCount; ++position) {
    const QPointF centre = DesignPoint(position);
    if (held_[position - 1]) {
      p.setBrush(Qt::NoBrush);
      p.setPen(QPen(QColor(255, 190, 90, 140), 6));
      p.drawEllipse(centre, 13, 13);
      p.setPen(QPen(heldColour, 2.4));
      p.drawEllipse(centre, 11.5, 11.5);
    }
    if (position == walkPosition_) {
      p.setPen(QPen(walkColour, 2.4));
      p.setBrush(Qt::NoBrush);
      p.drawEllipse(centre, 15, 15);
    }
  }
  p.restore();
}

namespace {

QBoxLayout* BoxHolding(QLayout* layout, QWidget* widget) {
  if (!layout) return nullptr;
  if (auto* box = qobject_cast<QBoxLayout*>(layout); box && box->indexOf(widget) >= 0) return box;
  for (int i = 0; i < layout->count(); ++i) {
    if (QBoxLayout* inner = BoxHolding(layout->itemAt(i)->layout(), widget)) return inner;
  }
  return nullptr;
}

// A small caption above each list names its console button. Qt on Linux names a
// combo box by its current text whatever its accessible name, and takes its label
// from the buddy relation, which only a shown label gives; sighted users gain too.
void CaptionCombo(QComboBox* combo, int position) {
  const QString text = QString::fromLatin1(ControllerButtons()[position - 1].displayName);
  combo->setAccessibleName(text);
  QBoxLayout* box = BoxHolding(combo->parentWidget()->layout(), combo);
  if (!box) return;
  auto* caption = new QLabel(text, combo->parentWidget());
  caption->setObjectName(QStringLiteral("Caption%1").arg(position));
  caption->setBuddy(combo);
  box->insertWidget(box->indexOf(combo), caption);
  caption->stackUnder(combo);  // read just before its list
}

}  // namespace

std::array<QComboBox*, kControllerButtonCount> AttachCombos(QWidget* form, ControllerPicture* picture) {
  std::array<QComboBox*, kControllerButtonCount> combos{};
  std::array<QWidget*, kControllerButtonCount> lined{};
  for (int k = 1; k <= kControllerButtonCount; ++k) {
    combos[k - 1] = form->findChild<QComboBox*>(QStringLiteral("Combo%1").arg(k));
    lined[k - 1] = combos[k - 1];
    if (combos[k - 1]) CaptionCombo(combos[k - 1], k);
  }
  picture->SetCombos(lined);
  return combos;
}

}  // namespace velox::ui
