#pragma once
// What the processing dialogs share: a fixed-size modal form laid out in
// twips, captions in both languages set when it loads and whenever it is
// shown, centring on every showing, and an OK and a Cancel picture button
// that set Confirmed and hide the form. Neither button is a default or
// cancel button: Enter and Escape do nothing special.
#include <QDialog>
#include <cstdint>
#include <initializer_list>

class QPushButton;
class ViewerContext;

namespace process {

class ConfirmForm : public QDialog {
  Q_OBJECT

 public:
  // 1 after OK, 0 after Cancel; 0 when the form loads and whenever it is shown.
  int16_t Confirmed = 0;
  QPushButton* Command1 = nullptr;  // OK
  QPushButton* Command2 = nullptr;  // Cancel

  virtual void Command1_Click();  // Confirmed = 1, hide
  void Command2_Click();          // Confirmed = 0, hide

  // Applies the captions of the current language.
  virtual void setCaptions() = 0;

  // True once the user closed the form by its title bar (Confirmed stays 0).
  bool closedByFrame() const { return closedByFrame_; }

 protected:
  // `width` × `height`: the inner area in twips.
  ConfirmForm(ViewerContext& context, QWidget* owner, const char* name, float width, float height);

  // A child control named `name` (its object name), at a place given in twips.
  template <typename T>
  T* control(const char* name, float left, float top, float width, float height) {
    auto* w = new T(this);
    place(w, name, left, top, width, height);
    return w;
  }
  // Creates Command1 and Command2 at their places; called after the
  // controls that come before them in the tab order.
  void addButtons(float top, float okLeft, float cancelLeft, float width, float height);

  struct Caption {
    QWidget* widget;  // the form itself: its title
    const char16_t* chinese;
    const char16_t* english;
  };
  void applyCaptions(std::initializer_list<Caption> captions);

  // Runs on every showing, before the captions are set.
  virtual void activated() {}

  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

  ViewerContext& context_;

 private:
  void place(QWidget* w, const char* name, float left, float top, float width, float height);
  bool closedByFrame_ = false;
};

}  // namespace process
