#include "widgets/checkboxdelegate.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>

namespace quillerby {

void CheckBoxDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    painter->fillRect(option.rect, option.state & QStyle::State_Selected ? option.palette.highlight()
                                                                          : option.palette.base());
    QStyleOptionButton box;
    const QRect inner = option.rect.adjusted(2, 2, -2, -2);
    const int side = qMin(inner.height(), 16);
    box.rect = QRect(inner.center().x() - side / 2, inner.center().y() - side / 2, side, side);
    box.state = QStyle::State_Enabled;
    if (!(option.state & QStyle::State_Enabled))
        box.state &= ~QStyle::State_Enabled;
    box.state |= index.data(Qt::CheckStateRole).toInt() == Qt::Checked ? QStyle::State_On : QStyle::State_Off;
    const QWidget* w = option.widget;
    (w ? w->style() : QApplication::style())->drawControl(QStyle::CE_CheckBox, &box, painter, w);
}

bool CheckBoxDelegate::editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem&,
                                   const QModelIndex& index) {
    if (!(index.flags() & Qt::ItemIsUserCheckable) || !(index.flags() & Qt::ItemIsEnabled))
        return false;
    if (event->type() == QEvent::MouseButtonDblClick)
        return true;
    if (event->type() != QEvent::MouseButtonRelease)
        return false;
    const bool on = index.data(Qt::CheckStateRole).toInt() == Qt::Checked;
    return model->setData(index, on ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
}

} // namespace quillerby
