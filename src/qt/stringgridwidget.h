#pragma once

#include "qt/widgetsite.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QTableView>
#include <vector>

class QMenu;

namespace voltaris {

class TStringGrid;
class TMenuItem;

// The data rows of a headless grid as a table model: no item per cell, the
// texts are read from the grid when the view asks. The grid's fixed row is
// the horizontal header.
class GridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit GridModel(TStringGrid &grid, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    // The grid's texts or row count changed: one notification for the view,
    // however many rows came or went.
    void refresh();

private:
    TStringGrid &grid_;
    int rows_ = 0, cols_ = 0;
};

// The header row, painted through the grid's cell painting like every cell.
class GridHeader : public QHeaderView {
    Q_OBJECT
public:
    GridHeader(TStringGrid &grid, QWidget *parent);

protected:
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override;

private:
    TStringGrid &grid_;
};

// A string grid: a table view over the grid's model. Every cell is painted
// by the grid's cell painting at the rectangle of the design (the grid line
// after it); the marked row is the grid's, the right mouse button opens its
// popup menu without moving the mark.
class StringGridWidget : public QTableView, public BoundWidget {
    Q_OBJECT
public:
    StringGridWidget(TStringGrid &grid, QWidget *parent, WidgetSite &view);

    TStringGrid &grid() const { return grid_; }
    GridModel *gridModel() const { return model_; }
    void sync(Prop what) override;

    // The popup menu as the window shows it, built from the grid's menu.
    void showPopup(const QPoint &globalPos);

protected:
    void mousePressEvent(QMouseEvent *e) override;
    void mouseDoubleClickEvent(QMouseEvent *e) override;
    void contextMenuEvent(QContextMenuEvent *e) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void applySizes();
    void applySelection();
    void addMenuItems(QMenu &qmenu, const std::vector<TMenuItem *> &items);

    TStringGrid &grid_;
    WidgetSite &view_;
    GridModel *model_;
    bool writing_ = false;
};

// For the view's factories: the widget of a TStringGrid, else nullptr.
QWidget *createStringGridWidget(TControl &control, QWidget *parent, WidgetSite &view);

} // namespace voltaris
