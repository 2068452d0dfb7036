#include "app/sort_mark_header.h"

#include <QPainter>
#include <QStyleOptionHeader>

namespace qm {

SortMarkHeader::SortMarkHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
    setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setSortIndicatorShown(false);
    setSectionsClickable(true);
    setHighlightSections(false);
}

void SortMarkHeader::setMark(int section, const QPixmap& mark) {
    if (mark.isNull())
        marks_.erase(section);
    else
        marks_[section] = mark;
    viewport()->update();
}

QPixmap SortMarkHeader::mark(int section) const {
    auto it = marks_.find(section);
    return it == marks_.end() ? QPixmap() : it->second;
}

QRect SortMarkHeader::markRect(int section) const {
    const QRect sectionRect(sectionViewportPosition(section), 0, sectionSize(section), height());
    return markRectIn(sectionRect, section);
}

QRect SortMarkHeader::markRectIn(const QRect& sectionRect, int logicalIndex) const {
    auto it = marks_.find(logicalIndex);
    if (it == marks_.end() || !model()) return {};
    // Right after the caption, where the style puts the label.
    QStyleOptionHeader opt;
    initStyleOption(&opt);
    opt.rect = sectionRect;
    opt.section = logicalIndex;
    opt.text = model()->headerData(logicalIndex, orientation(), Qt::DisplayRole).toString();
    const QRect label = style()->subElementRect(QStyle::SE_HeaderLabel, &opt, this);
    const int margin = style()->pixelMetric(QStyle::PM_HeaderMargin, &opt, this);
    const QSize size = it->second.deviceIndependentSize().toSize();
    const int x = label.left() + fontMetrics().horizontalAdvance(opt.text) + margin;
    return QRect(QPoint(x, sectionRect.center().y() - size.height() / 2 + 1), size);
}

void SortMarkHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
    QHeaderView::paintSection(painter, rect, logicalIndex);
    const QRect at = markRectIn(rect, logicalIndex);
    if (at.isEmpty()) return;
    painter->save();
    painter->setClipRect(rect);
    painter->drawPixmap(at.topLeft(), marks_.at(logicalIndex));
    painter->restore();
}

}  // namespace qm
