#pragma once

#include <QStyledItemDelegate>

class StatusImages;

// Paints each row's status picture in the status column, from the status
// code that the list gives for the row.
class StatusPictureDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    StatusPictureDelegate(const StatusImages &images, QObject *parent);

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;

private:
    const StatusImages &m_images;
};
