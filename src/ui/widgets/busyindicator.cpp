#include "widgets/busyindicator.h"

#include <QPainter>

namespace quillerby {

BusyIndicator::BusyIndicator(QWidget* parent) : QWidget(parent) {
    setFixedSize(22, 22);
    hide();
    m_timer.setInterval(80);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        m_angle = (m_angle + 30) % 360;
        update();
    });
}

void BusyIndicator::start() {
    show();
    m_timer.start();
}

void BusyIndicator::stop() {
    m_timer.stop();
    hide();
}

void BusyIndicator::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(width() / 2.0, height() / 2.0);
    p.rotate(m_angle);
    const QColor base = palette().color(QPalette::Highlight);
    for (int i = 0; i < 12; ++i) {
        QColor c = base;
        c.setAlphaF(0.15 + 0.85 * (i / 11.0));
        p.setPen(QPen(c, 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(0, -5), QPointF(0, -9));
        p.rotate(30);
    }
}

} // namespace quillerby
