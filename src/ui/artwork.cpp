#include "ui/artwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace velox::ui {

namespace {

QPixmap Canvas(QSize size, qreal ratio) {
  QPixmap pixmap(size * ratio);
  pixmap.setDevicePixelRatio(ratio);
  pixmap.fill(Qt::transparent);
  return pixmap;
}

}  // namespace

QPixmap DrawBanner(qreal ratio) {
  const QSize size(360, 84);
  QPixmap pixmap = Canvas(size, ratio);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);

  QLinearGradient sky(0, 0, 0, size.height());
  sky.setColorAt(0, QColor(24, 32, 64));
  sky.setColorAt(1, QColor(58, 20, 78));
  QPainterPath frame;
  frame.addRoundedRect(QRectF(1, 1, size.width() - 2, size.height() - 2), 10, 10);
  p.fillPath(frame, sky);

  // Speed streaks behind the name.
  p.setPen(QPen(QColor(255, 170, 40, 150), 2, Qt::SolidLine, Qt::RoundCap));
  for (int i = 0; i < 6; ++i) {
    const qreal y = 18 + i * 9;
    p.drawLine(QPointF(14 + i * 7, y), QPointF(96 + i * 11, y));
  }

  QFont title(QStringLiteral("DejaVu Sans"), 30, QFont::Black);
  title.setItalic(true);
  title.setLetterSpacing(QFont::PercentageSpacing, 112);
  p.setFont(title);
  p.setPen(QColor(255, 205, 70));
  p.drawText(QRectF(0, 4, size.width(), 54), Qt::AlignCenter, QStringLiteral("VELOX"));

  QFont subtitle(QStringLiteral("DejaVu Sans"), 9, QFont::DemiBold);
  subtitle.setLetterSpacing(QFont::PercentageSpacing, 130);
  p.setFont(subtitle);
  p.setPen(QColor(200, 215, 255));
  p.drawText(QRectF(0, 54, size.width(), 22), Qt::AlignCenter, QStringLiteral("HLE CONFIGURATOR"));
  return pixmap;
}

QPixmap DrawEmblem(qreal ratio) {
  const QSize size(120, 120);
  QPixmap pixmap = Canvas(size, ratio);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);

  // A three-handled pad seen from above, in the launcher's colours.
  QPainterPath body;
  body.moveTo(20, 48);
  body.cubicTo(20, 30, 100, 30, 100, 48);
  body.lineTo(104, 92);
  body.cubicTo(104, 102, 90, 104, 86, 94);
  body.lineTo(78, 66);
  body.lineTo(68, 66);
  body.lineTo(66, 104);
  body.cubicTo(64, 112, 56, 112, 54, 104);
  body.lineTo(52, 66);
  body.lineTo(42, 66);
  body.lineTo(34, 94);
  body.cubicTo(30, 104, 16, 102, 16, 92);
  body.closeSubpath();
  QLinearGradient shade(0, 30, 0, 110);
  shade.setColorAt(0, QColor(150, 155, 170));
  shade.setColorAt(1, QColor(90, 95, 110));
  p.setPen(QPen(QColor(40, 44, 56), 1.5));
  p.setBrush(shade);
  p.drawPath(body);

  // Direction pad, centre button and the coloured buttons on the right.
  p.setBrush(QColor(40, 44, 56));
  p.setPen(Qt::NoPen);
  p.drawRect(QRectF(30, 44, 14, 4));
  p.drawRect(QRectF(35, 39, 4, 14));
  p.setBrush(QColor(210, 40, 40));
  p.drawEllipse(QPointF(60, 48), 4, 4);
  p.setBrush(QColor(240, 200, 30));
  for (const QPointF& c : {QPointF(88, 40), QPointF(88, 52), QPointF(82, 46), QPointF(94, 46)}) p.drawEllipse(c, 3, 3);
  p.setBrush(QColor(40, 90, 220));
  p.drawEllipse(QPointF(74, 54), 4, 4);
  p.setBrush(QColor(40, 160, 70));
  p.drawEllipse(QPointF(72, 42), 4, 4);
  return pixmap;
}

}  // namespace velox::ui
