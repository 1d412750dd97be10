// What a user reads: the Exit question's box is wide enough for its whole
// title, and every highlighted item of the theme is readable (text on the
// selection colour at a contrast of at least 4.5:1).
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QPushButton>
#include <QColor>
#include <QFile>
#include <QFontMetrics>
#include <QRegularExpression>
#include <cmath>

#include "gui/CloseQuestion.h"

namespace ooa::test {
namespace {

TEST(ThemeAndQuestionTest, ExitQuestionIsWideEnoughForItsTitle) {
  const QString saved = QApplication::applicationDisplayName();
  QApplication::setApplicationDisplayName("Tillora Classic Retail Edition - Online Order Adaptor");
  auto box = CloseQuestionBox(nullptr);
  EXPECT_EQ(box->windowTitle(), QApplication::applicationDisplayName());
  EXPECT_EQ(box->text(), "Do you want to close this service?");
  EXPECT_EQ(static_cast<QAbstractButton*>(box->defaultButton()), box->button(QMessageBox::Yes));
  box->adjustSize();
  EXPECT_GE(box->width(), QFontMetrics(QApplication::font()).horizontalAdvance(box->windowTitle()) + 100);
  QApplication::setApplicationDisplayName(saved);
}

double Luminance(const QColor& c) {
  auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
  return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

double Contrast(const QColor& a, const QColor& b) {
  const double la = Luminance(a), lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TEST(ThemeAndQuestionTest, HighlightedItemsAreReadable) {
  QFile file(QString(OOA_SOURCE_DIR) + "/src/app/resources/IcebergClassico.qss");
  ASSERT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text));
  const QString qss = QString::fromUtf8(file.readAll());
  const QRegularExpression block(R"(([^{}]+)\{([^}]*)\})");
  auto value = [](const QString& body, const QString& property) {
    const QRegularExpression re("(?:^|[;\\s])" + QRegularExpression::escape(property) + R"(\s*:\s*([^;]+);)");
    const auto m = re.match(body);
    return m.hasMatch() ? m.captured(1).trimmed() : QString();
  };
  int checked = 0;
  for (auto it = block.globalMatch(qss); it.hasNext();) {
    const auto m = it.next();
    const QString selector = m.captured(1).trimmed(), body = m.captured(2);
    QString background, text;
    if (!value(body, "selection-background-color").isEmpty()) {
      background = value(body, "selection-background-color");
      text = value(body, "selection-color");
    } else if (selector.contains(":selected")) {
      background = value(body, "background");
      text = value(body, "color");
    } else {
      continue;
    }
    SCOPED_TRACE(selector.toStdString());
    ASSERT_FALSE(text.isEmpty()) << "the highlighted text keeps the platform's colour";
    EXPECT_GE(Contrast(QColor(background), QColor(text)), 4.5) << background.toStdString() << " / "
                                                                 << text.toStdString();
    ++checked;
  }
  EXPECT_GE(checked, 4);
}

}  // namespace
}  // namespace ooa::test
