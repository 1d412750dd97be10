// TCaseValidator: turns what the user types into upper or lower case as it is
// typed (the server and database names are upper case, the shop URL lower
// case). Any input is acceptable; only its letter case changes. UI thread.
#pragma once

#include <QValidator>

namespace ooa {

class TCaseValidator : public QValidator {
  Q_OBJECT
 public:
  enum class TCase { Upper, Lower };
  TCaseValidator(TCase letterCase, QObject* parent) : QValidator(parent), Case(letterCase) {}

  State validate(QString& input, int& pos) const override {
    input = Case == TCase::Upper ? input.toUpper() : input.toLower();
    return Acceptable;
  }

 private:
  TCase Case;
};

}  // namespace ooa
