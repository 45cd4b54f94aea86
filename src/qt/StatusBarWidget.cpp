#include "qt/StatusBarWidget.h"

#include "qt/Text.h"

#include <QPainter>

#include <algorithm>

namespace ombrix::qt {

StatusBarWidget::StatusBarWidget(const StatusLine& model, QWidget* parent) : QWidget(parent), model_(model) {
    setObjectName(QStringLiteral("StatusBar"));
    setFixedHeight(kHeight);
    sync();
}

void StatusBarWidget::sync() {
    const QString tip = toQ(model_.tooltip());
    if (toolTip() != tip) setToolTip(tip);
    update();
}

QRect StatusBarWidget::panelRect(int index) const {
    const int first = std::clamp(model_.panels[0].width, 0, width());
    if (index == 0) return {0, 0, first, height()};
    return {first, 0, std::max(0, width() - first), height()};
}

QString StatusBarWidget::panelText(int index) const {
    return toQ(model_.panels[index & 1].text);
}

QSize StatusBarWidget::sizeHint() const {
    return {200, kHeight};
}

void StatusBarWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    const QColor dark = palette().color(QPalette::Dark);
    const QColor light = palette().color(QPalette::Light);
    for (int i = 0; i < 2; ++i) {
        // A sunken bevel with a gap of two pixels before the next panel.
        QRect r = panelRect(i).adjusted(0, 2, i == 0 ? -2 : 0, 0);
        if (r.width() < 2 || r.height() < 2) continue;
        p.setPen(dark);
        p.drawLine(r.topLeft(), r.topRight());
        p.drawLine(r.topLeft(), r.bottomLeft());
        p.setPen(light);
        p.drawLine(r.bottomLeft(), r.bottomRight());
        p.drawLine(r.topRight(), r.bottomRight());
        const QRect text = r.adjusted(1, 1, -1, -1);
        p.save();
        p.setClipRect(text);
        p.setPen(palette().color(QPalette::WindowText));
        p.drawText(text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, panelText(i));
        p.restore();
    }
}

} // namespace ombrix::qt
