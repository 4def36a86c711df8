#include "app/loadingwindow.h"

#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

namespace quillerby {

LoadingWindow::LoadingWindow(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("Formloading"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(true);
    setFixedSize(338 + 6, 126 + 6);

    // Rectangle outline, then a lowered bevel around the content.
    auto* outline = new QFrame(this);
    outline->setObjectName(QStringLiteral("Shape1"));
    outline->setFrameShape(QFrame::Box);
    outline->setLineWidth(3);
    auto* bevel = new QFrame(outline);
    bevel->setObjectName(QStringLiteral("Bevel1"));
    bevel->setFrameShape(QFrame::Panel);
    bevel->setFrameShadow(QFrame::Sunken);

    auto* label = new QLabel(tr("Fetching orders please wait"), bevel);
    label->setObjectName(QStringLiteral("Label1"));
    QFont f(QStringLiteral("Tahoma"));
    f.setPixelSize(19);
    label->setFont(f);
    label->setStyleSheet(QStringLiteral("color: olive;"));
    label->setAlignment(Qt::AlignCenter);

    m_bar = new QProgressBar(bevel);
    m_bar->setObjectName(QStringLiteral("ProgressBar1"));
    m_bar->setFixedSize(193, 25);
    m_bar->setRange(0, 100);
    m_bar->setValue(0);
    m_bar->setTextVisible(false);
    m_bar->setProperty("paused", true); // drawn in the yellow "paused" state

    auto* inner = new QVBoxLayout(bevel);
    inner->addStretch();
    inner->addWidget(label);
    inner->addWidget(m_bar, 0, Qt::AlignHCenter);
    inner->addStretch();
    auto* outer = new QVBoxLayout(outline);
    outer->setContentsMargins(6, 6, 6, 6);
    outer->addWidget(bevel);
    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->addWidget(outline);
}

void LoadingWindow::advance(int step) { m_bar->setValue(qMin(m_bar->maximum(), m_bar->value() + step)); }

} // namespace quillerby
