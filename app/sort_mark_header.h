#pragma once
// The content list's column header: every caption left-aligned, and a mark
// (a picture of imlHeader) drawn right of the caption of the sections that
// carry one. The style's own sort indicator is never drawn.
#include <QHeaderView>
#include <QPixmap>
#include <map>

namespace qm {

class SortMarkHeader : public QHeaderView {
    Q_OBJECT
public:
    explicit SortMarkHeader(QWidget* parent = nullptr);

    // Section `section` shows `mark` right of its caption; a null picture
    // shows none.
    void setMark(int section, const QPixmap& mark);
    // The picture section `section` shows (null for none).
    QPixmap mark(int section) const;
    // Where the mark of `section` is drawn, in header coordinates (empty
    // when it has none).
    QRect markRect(int section) const;

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;

private:
    QRect markRectIn(const QRect& sectionRect, int logicalIndex) const;
    std::map<int, QPixmap> marks_;
};

}  // namespace qm
