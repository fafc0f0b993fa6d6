#pragma once
// Shared set-up of the controller window tests: a scratch installation as
// AppFolder, messages caught instead of shown, and a screenshot helper.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QPushButton>
#include <QStringList>
#include <QTest>

#include "shell/install_layout.h"
#include "support/temp_install.h"
#include "ui/messages.h"

namespace velox::ui {

class ControllerWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetAppFolderForTesting(app.path());
    SetMessageSinkForTesting([this](const QString&, const QString& text) { messages << text; });
  }
  void TearDown() override {
    SetMessageSinkForTesting(nullptr);
    // Close whatever a test left open so the next one loads afresh.
    for (QWidget* w : QApplication::topLevelWidgets()) w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

  template <class W>
  static QPushButton* Button(W* w, const char* name) {
    return w->template findChild<QPushButton*>(name);
  }
  template <class W>
  static QComboBox* Combo(W* w, int k) {
    return w->template findChild<QComboBox*>(QStringLiteral("Combo%1").arg(k));
  }

  // Saves the window as <objectName>.png where VELOX_SCREENSHOT_DIR says.
  static void Screenshot(QWidget* w) {
    w->adjustSize();
    const QPixmap shot = w->grab();
    ASSERT_FALSE(shot.isNull());
    const QByteArray dir = qgetenv("VELOX_SCREENSHOT_DIR");
    if (!dir.isEmpty()) {
      ASSERT_TRUE(shot.save(QString::fromLocal8Bit(dir) + "/" + w->objectName() + ".png"));
    }
  }

  testing::TempFolder app;
  QStringList messages;
};

}  // namespace velox::ui
