#pragma once

#include <QTimer>
#include <QWidget>

namespace quillerby {

// A small spinning indicator shown while something runs in the background. Hidden until started.
class BusyIndicator : public QWidget {
    Q_OBJECT
public:
    explicit BusyIndicator(QWidget* parent = nullptr);
    void start();
    void stop();
    bool isAnimating() const { return m_timer.isActive(); }
    QSize sizeHint() const override { return {22, 22}; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QTimer m_timer;
    int m_angle = 0;
};

} // namespace quillerby
