// Text boxes paint what they hold: the text and its selection land inside the box,
// in the font the program starts with (under Wine, whatever Qt falls back on).

#include <gtest/gtest.h>

#include <QtWidgets>
#include <memory>

#include "ui/text_box_font.h"

namespace velox::ui {
namespace {

const QString kText = QStringLiteral("C:\\Jeux vid\u00e9o\\Jos\u00e9\\roms");

std::unique_ptr<QWidget> Make(bool combo, const QString& text, bool selected) {
  auto* box = combo ? new QComboBox : nullptr;
  std::unique_ptr<QWidget> widget(box ? static_cast<QWidget*>(box) : new QLineEdit);
  if (box) {
    box->setEditable(true);
    box->addItems({QStringLiteral("C:\\roms"), QStringLiteral("D:\\")});
  }
  QLineEdit* edit = box ? box->lineEdit() : static_cast<QLineEdit*>(widget.get());
  edit->setText(text);
  edit->setCursorPosition(0);
  if (selected) edit->selectAll();
  widget->resize(260, widget->sizeHint().height());
  return widget;
}

// First and last row where the two images differ; {-1, -1} when they are equal.
std::pair<int, int> DifferingRows(const QImage& a, const QImage& b) {
  std::pair<int, int> rows{-1, -1};
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x)
      if (a.pixel(x, y) != b.pixel(x, y)) {
        if (rows.first < 0) rows.first = y;
        rows.second = y;
        break;
      }
  return rows;
}

TEST(TextBoxWindowTest, TextAndSelectionAreDrawnInsideTheBox) {
  EnsureReadableTextBoxes();  // as the program does at start
  EXPECT_TRUE(TextBoxesCanShow(QApplication::font())) << QFontInfo(QApplication::font()).family().toStdString();

  // A selection is compared with the same text unselected rather than with no text.
  for (const auto& [combo, selected] : {std::pair{false, false}, {false, true}, {true, false}, {true, true}}) {
    SCOPED_TRACE((combo ? "editable list" : "text box") + std::string(selected ? " selection" : ""));
    const auto filled = Make(combo, kText, selected);
    const auto plain = Make(combo, selected ? kText : QString(), false);
    const QImage a = filled->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage b = plain->grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(a.size(), b.size());

    // Text pushed out of the box leaves at most a sliver of its lowest pixels at the top edge.
    const auto [top, bottom] = DifferingRows(a, b);
    const int middle = a.height() / 2;
    EXPECT_GE(top, 0) << "nothing drawn";
    EXPECT_LE(top, middle);
    EXPECT_GE(bottom, middle) << "rows " << top << ".." << bottom << " of " << a.height();
    EXPECT_GE(bottom - top + 1, QFontMetrics(filled->font()).ascent() / 2);
  }
}

}  // namespace
}  // namespace velox::ui
