#include "controllers/form4_window.h"

#include <QApplication>

#include "controller_window_fixture.h"
#include "controllers/controller_picture_window.h"

namespace velox::ui {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::WriteBytes;

class Form4Test : public ControllerWindowTest {
 protected:
  Form4Window* Open() { return Form4Window::Instance().Show(); }
  static QString Shown(Form4Window* w) {
    QString s;
    for (int k = 1; k <= 14; ++k) s += Combo(w, k)->currentText();
    return s;
  }
};

TEST_F(Form4Test, CombosHoldTheThirtySevenNamesAndCannotBeTypedIn) {
  Form4Window* w = Open();
  EXPECT_EQ(w->objectName(), "Form4");
  EXPECT_EQ(w->findChild<QWidget*>("Frame1")->property("title").toString(), "Configure Keyboard");
  for (int k = 1; k <= 14; ++k) {
    QComboBox* c = Combo(w, k);
    ASSERT_NE(c, nullptr) << k;
    EXPECT_FALSE(c->isEditable());
    ASSERT_EQ(c->count(), 37);
    EXPECT_EQ(c->itemText(0), "0");
    EXPECT_EQ(c->itemText(10), "A");
    EXPECT_EQ(c->itemText(36), "-");
    EXPECT_FALSE(c->accessibleName().isEmpty());
  }
  EXPECT_EQ(Shown(w), "--------------");
}

TEST_F(Form4Test, LoadStopsAtTheFirstBadFieldOfTheLastLine) {
  WriteBytes(app / "Data/clavier.cfg", "1|2\r\nA|B|C|D|E|FF|G\r\n");
  EXPECT_EQ(Shown(Open()), "ABCDE---------");
}

TEST_F(Form4Test, OkWritesBothLinesAndCloses) {
  fs::create_directories(app / "Data");
  Form4Window* w = Open();
  Combo(w, 1)->setCurrentText("X");
  Combo(w, 2)->setCurrentText("C");
  Combo(w, 14)->setCurrentText("7");
  QTest::mouseClick(Button(w, "Command1"), Qt::LeftButton);
  EXPECT_EQ(Form4Window::Instance().Get(), nullptr);
  EXPECT_EQ(ReadBytes(app / "Data/clavier.cfg"),
            "88|67|45|45|45|45|45|45|45|45|45|45|45|55\r\nX|C|-|-|-|-|-|-|-|-|-|-|-|7\r\n");
  EXPECT_EQ(Shown(Open()), "XC-----------7");
}

TEST_F(Form4Test, EnterIsOkAndTabFollowsTheColumns) {
  fs::create_directories(app / "Data");
  Form4Window* w = Open();
  // Left column top to bottom, then the right one, then the buttons.
  const QStringList order = {"Combo2", "Combo14", "Combo11", "Combo12", "Combo13", "Combo10", "Combo9", "Combo1",
                             "Combo3", "Combo4",  "Combo5",  "Combo6",  "Combo7",  "Combo8",  "Command1", "Command2"};
  QWidget* current = w->findChild<QWidget*>(order[0]);
  for (int i = 1; i < order.size(); ++i) {
    current = current->nextInFocusChain();
    while (current->focusPolicy() == Qt::NoFocus) current = current->nextInFocusChain();
    EXPECT_EQ(current->objectName(), order[i]);
  }
  Combo(w, 9)->setCurrentText("Z");
  QTest::keyClick(Combo(w, 9), Qt::Key_Return);
  EXPECT_EQ(Form4Window::Instance().Get(), nullptr);
  EXPECT_EQ(ReadBytes(app / "Data/clavier.cfg"),
            "45|45|45|45|45|45|45|45|90|45|45|45|45|45\r\n-|-|-|-|-|-|-|-|Z|-|-|-|-|-\r\n");
}

TEST_F(Form4Test, CancelWritesNothing) {
  testing::CopyDemo(app.path());
  const std::string before = ReadBytes(app / "Data/clavier.cfg");
  Form4Window* w = Open();
  Combo(w, 3)->setCurrentText("Q");
  QTest::mouseClick(Button(w, "Command2"), Qt::LeftButton);
  EXPECT_EQ(Form4Window::Instance().Get(), nullptr);
  EXPECT_EQ(ReadBytes(app / "Data/clavier.cfg"), before);
}

TEST_F(Form4Test, AFailedWriteIsToldAndTheDialogStays) {
  Form4Window* w = Open();  // no Data folder
  Combo(w, 5)->setCurrentText("K");
  QTest::mouseClick(Button(w, "Command1"), Qt::LeftButton);
  ASSERT_EQ(messages.size(), 1);
  EXPECT_TRUE(messages[0].contains("clavier.cfg"));
  EXPECT_TRUE(messages[0].contains("does not exist"));
  EXPECT_EQ(Form4Window::Instance().Get(), w);
  EXPECT_EQ(Combo(w, 5)->currentText(), "K");
}

// The combos stand in their two columns and every line ends at its combo, at any size.
TEST_F(Form4Test, LinesEndAtTheirCombosAtAnySize) {
  Form4Window* w = Open();
  auto* picture = w->findChild<ControllerPicture*>("Image1");
  ASSERT_NE(picture, nullptr);
  const std::vector<int> right = {1, 3, 4, 5, 6, 7, 8};
  const std::vector<int> left = {2, 14, 11, 12, 13, 10, 9};
  for (QSize size : {w->sizeHint(), QSize(900, 760)}) {
    w->resize(size);
    QApplication::processEvents();
    const QRect pictureRect(picture->mapTo(w, QPoint()), picture->size());
    for (const auto* column : {&left, &right}) {
      int lastY = -1;
      for (int k : *column) {
        QComboBox* c = Combo(w, k);
        const QRect comboRect(c->mapTo(w, QPoint()), c->size());
        EXPECT_GT(comboRect.top(), lastY) << "Combo" << k << " out of order";
        lastY = comboRect.bottom();
        const bool onLeft = column == &left;
        if (onLeft) {
          EXPECT_LE(comboRect.right(), pictureRect.left()) << "Combo" << k;
        } else {
          EXPECT_GE(comboRect.left(), pictureRect.right()) << "Combo" << k;
        }
        const QPointF end = picture->LineEnd(k);
        EXPECT_EQ(end.x(), onLeft ? 0 : picture->width()) << "Combo" << k;
        const qreal endY = picture->mapTo(w, QPoint(0, 0)).y() + end.y();
        EXPECT_NEAR(endY, comboRect.center().y(), 1.0) << "Combo" << k << " at " << size.width();
        const QPointF from = picture->ButtonPoint(k);
        EXPECT_TRUE(picture->rect().contains(from.toPoint())) << "button " << k;
      }
    }
  }
}

TEST_F(Form4Test, Screenshot) {
  testing::CopyDemo(app.path());
  Screenshot(Open());
}

}  // namespace
}  // namespace velox::ui
