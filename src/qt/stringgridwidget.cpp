#include "qt/stringgridwidget.h"

#include "ui/stringgrid.h"

#include <QActionGroup>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <algorithm>

namespace voltaris {

namespace {

const QColor GridLineColor(192, 192, 192);

TRect toTRect(const QRect &r)
{
    return { r.left(), r.top(), r.left() + r.width(), r.top() + r.height() };
}

QRect toQRect(const TRect &r)
{
    return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

// The grid's canvas on a painter: the brush fills, the pen writes, in the
// grid's font.
class PainterCanvas : public TCanvas {
public:
    PainterCanvas(QPainter &p, const QFont &font, QColor brush, QColor pen)
        : p_(p)
        , metrics_(font)
        , brush_(brush)
        , pen_(pen)
    {
        p_.setFont(font);
    }
    int textWidth(const QString &text) override { return metrics_.horizontalAdvance(text); }
    void textRect(const TRect &rect, int x, int y, const QString &text) override
    {
        const QRect r = toQRect(rect);
        p_.fillRect(r, brush_);
        p_.save();
        p_.setClipRect(r);
        p_.setPen(pen_);
        // (x, y) is the top left of the text; the painter writes on the base line.
        const int base = y + metrics_.ascent();
        // The visible part, without the blanks that pad it ("  Tage ").
        const QString shown = text.trimmed();
        const int left = x + metrics_.horizontalAdvance(text.left(text.indexOf(shown)));
        const int wide = metrics_.horizontalAdvance(shown);
        if (shown.isEmpty() || (left >= r.left() && left + wide <= r.left() + r.width()))
            p_.drawText(QPoint(x, base), text);
        else {
            // Wider than its cell (a five-digit day count under "Tage"): the
            // clip would cut its first and last digits; it is squeezed into
            // the cell instead, a pixel clear of each edge, near its place.
            const qreal room = std::max(1, r.width() - 2);
            const qreal scale = std::min(1.0, room / wide);
            const qreal width = wide * scale;
            const qreal from = std::clamp(
                left + (wide - width) / 2, r.left() + 1.0, r.left() + 1.0 + room - width);
            p_.translate(from, base);
            p_.scale(scale, 1);
            p_.drawText(QPointF(0, 0), shown);
        }
        p_.restore();
    }

private:
    QPainter &p_;
    QFontMetrics metrics_;
    QColor brush_, pen_;
};

// Paints one cell the way the grid does: background, then the grid's cell
// painting inside the rectangle, the grid lines to the right and below.
void paintCell(QPainter &p, TStringGrid &grid, const QFont &font, const QPalette &pal, int col,
    int row, const QRect &section)
{
    const int line = grid.gridLineWidth();
    const QRect cell = section.adjusted(0, 0, -line, -line);
    const bool fixed = row < grid.fixedRows();
    const bool selected = !fixed && row == grid.row();
    QColor brush = WidgetSite::qcolor(grid.color());
    QColor pen = WidgetSite::qcolor(grid.font().color);
    if (fixed) {
        brush = WidgetSite::qcolor(clr::BtnFace);
        pen = Qt::black;
    } else if (selected) {
        brush = pal.color(QPalette::Active, QPalette::Highlight);
        pen = pal.color(QPalette::Active, QPalette::HighlightedText);
    }
    p.fillRect(cell, brush);
    PainterCanvas canvas(p, font, brush, pen);
    TGridDrawState state;
    state.fixed = fixed;
    state.selected = selected;
    grid.application().handle([&] { grid.drawCell(canvas, col, row, toTRect(cell), state); });
    if (fixed) {
        // The raised edge of a fixed cell.
        p.setPen(pal.color(QPalette::Light));
        p.drawLine(cell.topLeft(), cell.topRight());
        p.drawLine(cell.topLeft(), cell.bottomLeft());
        p.setPen(pal.color(QPalette::Dark));
        p.drawLine(cell.bottomLeft(), cell.bottomRight());
        p.drawLine(cell.topRight(), cell.bottomRight());
    }
    p.fillRect(QRect(section.left() + cell.width(), section.top(), line, section.height()),
        fixed ? Qt::black : GridLineColor);
    p.fillRect(QRect(section.left(), section.top() + cell.height(), section.width(), line),
        fixed ? Qt::black : GridLineColor);
}

class GridDelegate : public QStyledItemDelegate {
public:
    GridDelegate(TStringGrid &grid, QObject *parent)
        : QStyledItemDelegate(parent)
        , grid_(grid)
    { }
    void paint(
        QPainter *p, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        paintCell(*p, grid_, option.font, option.palette, index.column(),
            index.row() + grid_.fixedRows(), option.rect);
    }

private:
    TStringGrid &grid_;
};

} // namespace

// --- GridModel -------------------------------------------------------------

GridModel::GridModel(TStringGrid &grid, QObject *parent)
    : QAbstractTableModel(parent)
    , grid_(grid)
    , rows_(grid.rowCount() - grid.fixedRows())
    , cols_(grid.colCount())
{ }

int GridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : rows_;
}

int GridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : cols_;
}

QVariant GridModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole)
        return {};
    return grid_.cell(index.column(), index.row() + grid_.fixedRows()).trimmed();
}

QVariant GridModel::headerData(int section, Qt::Orientation o, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (o == Qt::Horizontal)
        return grid_.fixedRows() > 0 ? grid_.cell(section, 0).trimmed() : QString();
    return section + 1;
}

Qt::ItemFlags GridModel::flags(const QModelIndex &index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void GridModel::refresh()
{
    const int rows = grid_.rowCount() - grid_.fixedRows();
    const int cols = grid_.colCount();
    if (cols != cols_) {
        beginResetModel();
        rows_ = rows;
        cols_ = cols;
        endResetModel();
        return;
    }
    if (rows > rows_) {
        beginInsertRows({}, rows_, rows - 1);
        rows_ = rows;
        endInsertRows();
    } else if (rows < rows_) {
        beginRemoveRows({}, rows, rows_ - 1);
        rows_ = rows;
        endRemoveRows();
    }
    if (rows_ > 0)
        Q_EMIT dataChanged(index(0, 0), index(rows_ - 1, cols_ - 1));
    Q_EMIT headerDataChanged(Qt::Horizontal, 0, cols_ - 1);
}

// --- GridHeader ------------------------------------------------------------

GridHeader::GridHeader(TStringGrid &grid, QWidget *parent)
    : QHeaderView(Qt::Horizontal, parent)
    , grid_(grid)
{
    setSectionsClickable(false);
    setSectionsMovable(false);
    setHighlightSections(false);
    setSectionResizeMode(QHeaderView::Fixed);
    setStretchLastSection(false);
    setMinimumSectionSize(1);
}

void GridHeader::paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const
{
    if (grid_.fixedRows() == 0)
        return;
    paintCell(*painter, grid_, font(), palette(), logicalIndex, 0, rect);
}

// --- StringGridWidget ------------------------------------------------------

StringGridWidget::StringGridWidget(TStringGrid &grid, QWidget *parent, WidgetSite &view)
    : QTableView(parent)
    , grid_(grid)
    , view_(view)
    , model_(new GridModel(grid, this))
{
    setHorizontalHeader(new GridHeader(grid, this));
    // The rows' header is set up before the rows come: changed afterwards,
    // each setting would be applied to each row, however many the log holds.
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(grid.defaultRowHeight() + grid.gridLineWidth());
    setModel(model_);
    setItemDelegate(new GridDelegate(grid, this));
    setShowGrid(false); // the cells paint their own lines, as the grid draws them
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setTabKeyNavigation(false);
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    setContextMenuPolicy(Qt::DefaultContextMenu);
    view.route(this, grid);
    applySizes();
}

void StringGridWidget::applySizes()
{
    const int line = grid_.gridLineWidth();
    for (int c = 0; c < grid_.colCount(); ++c)
        horizontalHeader()->resizeSection(c, grid_.colWidth(c) + line);
    if (verticalHeader()->defaultSectionSize() != grid_.defaultRowHeight() + line)
        verticalHeader()->setDefaultSectionSize(grid_.defaultRowHeight() + line);
    horizontalHeader()->setFixedHeight(grid_.fixedRows() > 0 ? grid_.defaultRowHeight() + line : 0);
}

void StringGridWidget::applySelection()
{
    const QScopedValueRollback<bool> writing(writing_, true);
    const int row = grid_.row() - grid_.fixedRows();
    if (row >= 0 && row < model_->rowCount()) {
        const QModelIndex i = model_->index(row, 0);
        if (currentIndex().row() != row)
            selectionModel()->setCurrentIndex(
                i, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    verticalScrollBar()->setValue(grid_.topRow() - grid_.fixedRows());
    viewport()->update();
}

void StringGridWidget::sync(Prop what)
{
    switch (what) {
    case Prop::Items: {
        const QScopedValueRollback<bool> writing(writing_, true);
        model_->refresh();
        applySizes();
        applySelection();
        break;
    }
    case Prop::Selection:
        applySelection();
        break;
    case Prop::Font:
        horizontalHeader()->setFont(font());
        applySizes();
        break;
    case Prop::TabStop:
    case Prop::Enabled:
        setFocusPolicy(grid_.tabStop() ? Qt::StrongFocus : Qt::ClickFocus);
        break;
    case Prop::Hint:
        viewport()->setToolTip(toolTip());
        break;
    default:
        break;
    }
}

void StringGridWidget::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous);
    if (writing_ || view_.syncing() || !current.isValid())
        return;
    const int row = current.row() + grid_.fixedRows();
    grid_.application().handle([&] { grid_.userSelected(row); });
    viewport()->update();
}

void StringGridWidget::scrollContentsBy(int dx, int dy)
{
    QTableView::scrollContentsBy(dx, dy);
    if (writing_ || view_.syncing())
        return;
    const int top = verticalScrollBar()->value() + grid_.fixedRows();
    grid_.application().handle([&] { grid_.userScrolled(top); });
}

void StringGridWidget::mousePressEvent(QMouseEvent *e)
{
    // The right button opens the menu; the mark stays where it is.
    if (e->button() == Qt::RightButton) {
        e->accept();
        return;
    }
    QTableView::mousePressEvent(e);
}

void StringGridWidget::mouseDoubleClickEvent(QMouseEvent *e)
{
    if (e->button() == Qt::RightButton) {
        e->accept();
        return;
    }
    QTableView::mouseDoubleClickEvent(e);
}

void StringGridWidget::contextMenuEvent(QContextMenuEvent *e)
{
    showPopup(e->globalPos());
    e->accept();
}

void StringGridWidget::addMenuItems(QMenu &qmenu, const std::vector<TMenuItem *> &items)
{
    QActionGroup *group = nullptr;
    for (TMenuItem *item : items) {
        if (!item->visible())
            continue;
        if (item->isSeparator()) {
            qmenu.addSeparator();
            continue;
        }
        if (const std::vector<TMenuItem *> sub = item->items(); !sub.empty()) {
            QMenu *submenu = qmenu.addMenu(item->text());
            submenu->setObjectName(item->name());
            submenu->setEnabled(item->enabled());
            addMenuItems(*submenu, sub);
            continue;
        }
        QAction *a = qmenu.addAction(item->text());
        a->setObjectName(item->name());
        a->setEnabled(item->enabled());
        if (item->radioItem) {
            // A choice among its neighbours, the one in force marked.
            if (!group)
                group = new QActionGroup(&qmenu);
            a->setCheckable(true);
            a->setChecked(item->checked);
            group->addAction(a);
        }
        if (!item->shortCut.isEmpty())
            a->setShortcut(QKeySequence(item->shortCut));
        // The menu's own shortcut would also fire while it is open; the
        // control that owns the menu handles the keys.
        a->setShortcutContext(Qt::WidgetShortcut);
        connect(a, &QAction::triggered, this, [item] { item->click(); });
    }
}

void StringGridWidget::showPopup(const QPoint &globalPos)
{
    TPopupMenu *menu = grid_.popupMenu;
    if (!menu)
        return;
    grid_.application().handle([&] { menu->popup(); });
    QMenu qmenu(this);
    qmenu.setObjectName(menu->name());
    addMenuItems(qmenu, menu->items());
    qmenu.exec(globalPos);
}

QWidget *createStringGridWidget(TControl &control, QWidget *parent, WidgetSite &view)
{
    auto *grid = dynamic_cast<TStringGrid *>(&control);
    if (!grid)
        return nullptr;
    return new StringGridWidget(*grid, parent, view);
}

} // namespace voltaris
