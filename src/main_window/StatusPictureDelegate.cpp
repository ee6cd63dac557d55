#include "main_window/StatusPictureDelegate.h"

#include "entries/CategoryList.h"
#include "main_window/StatusImages.h"

StatusPictureDelegate::StatusPictureDelegate(const StatusImages &images, QObject *parent)
    : QStyledItemDelegate(parent)
    , m_images(images)
{
}

void StatusPictureDelegate::initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    if (index.column() != Entry::MainText)
        return;
    option->icon = m_images.picture(index.data(CategoryList::StatusRole).toDouble());
    option->features |= QStyleOptionViewItem::HasDecoration;
}
