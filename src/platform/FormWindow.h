#pragma once

#include <QEventLoop>
#include <QMainWindow>

namespace platform {

class Form;

// The Qt window behind a Form: forwards window events to the form's hooks.
class FormWindow : public QMainWindow {
    Q_OBJECT
  public:
    explicit FormWindow(Form* form);

    QEventLoop* modalLoop = nullptr;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    Form* form_;
};

}  // namespace platform
