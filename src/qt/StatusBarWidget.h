#pragma once
// The status bar along the window's bottom edge: two panels side by side, each as wide as the
// model says, the last one reaching to the right edge; the bar's hint is its tooltip.

#include "window/Controls.h"

#include <QString>
#include <QWidget>

namespace ombrix::qt {

class StatusBarWidget : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kHeight = 21;

    StatusBarWidget(const StatusLine& model, QWidget* parent);

    // Copies the panels and the hint from the model.
    void sync();
    QRect panelRect(int index) const;
    QString panelText(int index) const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    QSize sizeHint() const override;

  private:
    const StatusLine& model_;
};

} // namespace ombrix::qt
