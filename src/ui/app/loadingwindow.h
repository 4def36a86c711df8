#pragma once

#include <QDialog>

class QProgressBar;

namespace quillerby {

// The borderless "please wait" window shown while the processed-orders window is being built. Modal; the
// work that fills it advances its bar and closes it. Deletes itself when closed.
class LoadingWindow : public QDialog {
    Q_OBJECT
public:
    explicit LoadingWindow(QWidget* parent = nullptr);

    QProgressBar* progressBar() const { return m_bar; }
    // Advances the bar by `step`, not beyond its maximum.
    void advance(int step = 4);

private:
    QProgressBar* m_bar;
};

} // namespace quillerby
