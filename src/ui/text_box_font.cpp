#include "ui/text_box_font.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QStringList>

namespace velox::ui {
namespace {

// Rounding the ascent and descent apart may add a pixel or two to a sound font.
constexpr int kSlackPixels = 2;

// The classes the desktop theme gives fonts of their own (menus, message boxes, lists...).
constexpr const char* kThemedClasses[] = {"QMenu",          "QMenuBar",       "QMessageBox",       "QTipLabel",
                                          "QStatusBar",     "QHeaderView",    "QAbstractItemView", "QListView",
                                          "QComboMenuItem", "QComboLineEdit", "QDockWidgetTitle"};

QFont WithFamily(QFont font, const QString& family) {
  font.setFamilies({family});
  return font;
}

}  // namespace

bool TextBoxesCanShow(const QFont& font) {
  // QLineEdit centres the string's bounding box, not the line, in its contents.
  const QFontMetrics metrics(font);
  return metrics.boundingRect(QStringLiteral("Xg")).height() <= metrics.height() + kSlackPixels;
}

QString ReadableTextBoxFamily(const QFont& like) {
  const QStringList installed = QFontDatabase::families();
  // The usual desktop faces first, so that the program looks as it does elsewhere.
  QStringList candidates = {
      QStringLiteral("Segoe UI"),    QStringLiteral("Tahoma"),          QStringLiteral("MS Shell Dlg 2"),
      QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans"), QStringLiteral("Noto Sans"),
      QStringLiteral("Arial")};
  candidates += installed;
  for (const QString& family : candidates) {
    if (!installed.contains(family) || QFontDatabase::isPrivateFamily(family)) continue;
    if (!QFontDatabase::writingSystems(family).contains(QFontDatabase::Latin)) continue;
    const QFont font = WithFamily(like, family);
    // A family Qt lists may still resolve to another one (a name without files behind it).
    if (QFontInfo(font).family() == family && TextBoxesCanShow(font)) return family;
  }
  return {};
}

void EnsureReadableTextBoxes() {
  const QFont app = QApplication::font();
  if (TextBoxesCanShow(app)) return;
  const QString family = ReadableTextBoxFamily(app);
  if (family.isEmpty()) return;  // nothing better here: keep what the desktop chose
  QApplication::setFont(WithFamily(app, family));
  for (const char* name : kThemedClasses) {
    const QFont font = QApplication::font(name);
    if (!TextBoxesCanShow(font)) QApplication::setFont(WithFamily(font, family), name);
  }
}

}  // namespace velox::ui
