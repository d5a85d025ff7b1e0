#pragma once

// The report table's column titles, each on up to two lines: a column is then as wide as its
// cells or the longer half of its title, so that "Issue Year" does not widen a column of
// four-digit years to the whole title.

#include <QHeaderView>

class ReportHeaderView : public QHeaderView {
  public:
    explicit ReportHeaderView(QWidget* parent);

  protected:
    QSize sectionSizeFromContents(int logicalIndex) const override;
};
