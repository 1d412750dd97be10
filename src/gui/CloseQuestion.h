// The question Exit and the close box ask: "Do you want to close this
// service?" with Yes (the default) and No, in a box wide enough for its whole
// title (the application's name), which a box sized to its short question
// would cut. UI thread only; the caller owns the box.
#pragma once

#include <QMessageBox>
#include <memory>

namespace ooa {

std::unique_ptr<QMessageBox> CloseQuestionBox(QWidget* parent);

}  // namespace ooa
