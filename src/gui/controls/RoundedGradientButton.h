// TRoundedGradientButton: a push button drawn as a rounded rectangle with a
// two-colour gradient from a colour scheme, lighter while the mouse is over
// it, darker while pressed, grey when disabled. Behaves like any QPushButton
// (clicked, enabled, keyboard focus). UI thread only; owned by its Qt parent.
#pragma once

#include <QColor>
#include <QPushButton>

namespace ooa {

enum class TButtonScheme { Blue, Silver, Green, Red };

struct TButtonColors {
  QColor Top, Bottom, Border, Text;
};

// The colours of a scheme in the normal state.
TButtonColors ColorsOf(TButtonScheme scheme);

class TRoundedGradientButton : public QPushButton {
  Q_OBJECT
 public:
  explicit TRoundedGradientButton(const QString& text, QWidget* parent = nullptr,
                                  TButtonScheme scheme = TButtonScheme::Blue);

  void SetScheme(TButtonScheme scheme);
  TButtonScheme Scheme() const { return SchemeValue; }
  void SetRadius(int radius);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  TButtonScheme SchemeValue;
  int Radius = 6;
  bool Hover = false;
};

}  // namespace ooa
