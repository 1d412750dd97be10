#include "gui/CloseQuestion.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QSpacerItem>

namespace ooa {

std::unique_ptr<QMessageBox> CloseQuestionBox(QWidget* parent) {
  const QString title = QApplication::applicationDisplayName();
  auto box = std::make_unique<QMessageBox>(QMessageBox::Question, title, "Do you want to close this service?",
                                           QMessageBox::Yes | QMessageBox::No, parent);
  box->setDefaultButton(QMessageBox::Yes);
  // The title bar shows the title in about the window font, beside the
  // window's icon and its close box: the box is made that much wider.
  const int titleWidth = QFontMetrics(QApplication::font()).horizontalAdvance(title) + 120;
  if (auto* grid = qobject_cast<QGridLayout*>(box->layout()))
    grid->addItem(new QSpacerItem(titleWidth, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                  grid->columnCount());
  return box;
}

}  // namespace ooa
