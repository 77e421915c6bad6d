#pragma once

#include "common/colors.h"

#include <QChar>
#include <QDate>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace voltaris {

class TApplication;
class TControl;
class TForm;

// What changed on a control, for the window system that shows it.
enum class Prop {
    Text, // text of an edit or caption of a label, button, group box, form
    Color, // background colour number
    Font, // font name, pixel size, bold, colour
    Enabled,
    Visible,
    ReadOnly,
    TabStop,
    Checked,
    Date,
    Bounds,
    Hint,
    Selection, // selection of an edit
    Items, // items of a combo box, lines of a memo
    Picture,
    Cursor,
    Alignment,
    Focus, // the form's focused control
    Raise, // a window brought to the front
    Other,
};

class ControlObserver {
public:
    virtual ~ControlObserver() = default;
    virtual void changed(TControl &control, Prop what) = 0;
};

struct TFont {
    QString name = QStringLiteral("Arial");
    int size = 17; // pixel height
    bool bold = false;
    TColor color = clr::WindowText;
    friend bool operator==(const TFont &, const TFont &) = default;
};

enum class TCursor { Default, HandPoint };
enum class TAlignment { Left, Right, Center };

// Virtual key codes of the keys the handlers and the window system speak of.
namespace vk {
constexpr int Back = 8, Tab = 9, Return = 13, Shift = 16, Control = 17, Menu = 18, Escape = 27,
              Space = 32, End = 35, Home = 36, Left = 37, Up = 38, Right = 39, Down = 40,
              Delete = 46, F5 = 116;
} // namespace vk

struct TShiftState {
    bool shift = false, ctrl = false, alt = false;
    bool none() const { return !shift && !ctrl && !alt; }
};

using TNotifyEvent = std::function<void(TControl &sender)>;
using TKeyEvent = std::function<void(TControl &sender, int &key, TShiftState shift)>;
using TKeyPressEvent = std::function<void(TControl &sender, QChar &key)>;

// A control as the window shows it: position inside its parent, colours,
// font, states. Setters raise the observer only on a real change.
class TControl {
public:
    TControl(TControl *parent, QString name);
    virtual ~TControl();
    TControl(const TControl &) = delete;
    TControl &operator=(const TControl &) = delete;

    const QString &name() const { return name_; }
    TControl *parent() const { return parent_; }
    const std::vector<TControl *> &children() const { return children_; }
    TForm *form() const;
    TApplication &application() const;

    int left() const { return left_; }
    int top() const { return top_; }
    int width() const { return width_; }
    int height() const { return height_; }
    void setBounds(int left, int top, int width, int height);
    void setLeft(int v) { setBounds(v, top_, width_, height_); }
    void setTop(int v) { setBounds(left_, v, width_, height_); }
    void setWidth(int v) { setBounds(left_, top_, v, height_); }
    void setHeight(int v) { setBounds(left_, top_, width_, v); }

    bool enabled() const { return enabled_; }
    void setEnabled(bool v);
    bool visible() const { return visible_; }
    void setVisible(bool v);
    // Visible with all parents inside its window; enabled with all parents.
    bool showing() const;
    bool effectivelyEnabled() const;

    TColor color() const { return color_; }
    void setColor(TColor c);
    const TFont &font() const { return font_; }
    void setFont(const TFont &f);
    void setFontColor(TColor c);
    void setFontBold(bool bold);

    const QString &hint() const { return hint_; }
    void setHint(const QString &h);
    bool showHint() const { return showHint_; }
    void setShowHint(bool v);
    TCursor cursor() const { return cursor_; }
    void setCursor(TCursor c);

    // Text or caption; its meaning depends on the kind of control.
    const QString &text() const { return text_; }
    void setText(const QString &t);

    // What a screen reader calls the control and adds about it; where empty,
    // the window system takes the caption or the hint.
    QString accessibleName, accessibleDescription;

    void setObserver(ControlObserver *o) { observer_ = o; }
    ControlObserver *observer() const { return observer_; }
    // Further listeners beside the window system's observer, for those that
    // follow a control without showing it (a window that redraws when the log
    // changes). addListener returns the id that removes it again.
    using Listener = std::function<void(TControl &control, Prop what)>;
    int addListener(Listener listener);
    void removeListener(int id);

    // Raised on a click by the user or by code that clicks.
    TNotifyEvent OnClick;
    virtual void click();

protected:
    void changed(Prop what);
    // Called after the text really changed, before the observer hears of it.
    virtual void textChanged() { }
    // Runs an event through the application's handler entry.
    template <class F> void fire(F &&f);

    QString text_;

private:
    QString name_;
    TControl *parent_;
    std::vector<TControl *> children_;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    bool enabled_ = true, visible_ = true, showHint_ = false;
    TColor color_ = clr::BtnFace;
    TFont font_;
    QString hint_;
    TCursor cursor_ = TCursor::Default;
    ControlObserver *observer_ = nullptr;
    std::vector<std::pair<int, Listener>> listeners_;
    int nextListener_ = 0;
};

// A control that can hold the keyboard focus.
class TWinControl : public TControl {
public:
    using TControl::TControl;

    bool tabStop() const { return tabStop_; }
    void setTabStop(bool v);
    int tabOrder() const { return tabOrder_; }
    void setTabOrder(int v) { tabOrder_ = v; }
    // Whether the control can take the focus now: showing, enabled, and a
    // kind of control that takes the focus at all.
    virtual bool canFocus() const;
    virtual bool takesFocus() const { return true; }
    bool focused() const;
    void setFocus();

    TNotifyEvent OnEnter, OnExit;
    TKeyEvent OnKeyDown, OnKeyUp;
    TKeyPressEvent OnKeyPress;

    // Called by the form as the focus comes and goes.
    virtual void doEnter();
    virtual void doExit();
    // The keyboard as the window system delivers it to the focused control.
    virtual void keyDown(int &key, TShiftState shift);
    virtual void keyPress(QChar &key);
    virtual void keyUp(int &key, TShiftState shift);
    // Whether the control takes Enter itself instead of the default button.
    virtual bool wantsReturn() const { return false; }

private:
    bool tabStop_ = false;
    int tabOrder_ = 0;
};

class TLabel : public TControl {
public:
    TLabel(TControl *parent, QString name);
    TAlignment alignment() const { return alignment_; }
    void setAlignment(TAlignment a);
    bool transparent = false;
    // Keeps its size whatever its caption: the window clips a longer one.
    bool fixedSize = false;
    // Sizes to its caption (measured in its font), keeping the edge the
    // alignment names: the right one for a right-aligned label, else the left.
    bool autoSize() const { return autoSize_; }
    void setAutoSize(bool v);

protected:
    void textChanged() override;

private:
    void fitToText();
    TAlignment alignment_ = TAlignment::Left;
    bool autoSize_ = false;
};

class TEdit : public TWinControl {
public:
    TEdit(TControl *parent, QString name);

    bool readOnly() const { return readOnly_; }
    void setReadOnly(bool v);
    TAlignment alignment() const { return alignment_; }
    void setAlignment(TAlignment a);
    bool autoSelect = true;

    int selStart() const { return selStart_; }
    int selLength() const { return selLength_; }
    QString selText() const { return text_.mid(selStart_, selLength_); }
    void setSelection(int start, int length);
    void selectAll() { setSelection(0, int(text_.size())); }

    TNotifyEvent OnChange;

    // Entering by keyboard selects the whole text (autoSelect).
    void doEnter() override;

    // The user's editing as the window system reports it: the new text and
    // selection after a key the edit processed, a paste or a cut.
    void userEdited(const QString &text, int selStart, int selLength);
    // The clipboard operations of the context menu; a control may refuse them.
    virtual bool canCut() const { return !readOnly_; }
    virtual bool canPaste() const { return !readOnly_; }

protected:
    void textChanged() override;

private:
    bool readOnly_ = false;
    TAlignment alignment_ = TAlignment::Left;
    int selStart_ = 0, selLength_ = 0;
};

class TRadioButton : public TWinControl {
public:
    using TWinControl::TWinControl;
    bool checked() const { return checked_; }
    // Checking an unchecked button unchecks its siblings and raises OnClick.
    void setChecked(bool v);
    void click() override;

private:
    bool checked_ = false;
};

class TPanel : public TWinControl {
public:
    TPanel(TControl *parent, QString name);
    bool takesFocus() const override { return false; }
    bool lowered = false;
};

class TGroupBox : public TWinControl {
public:
    TGroupBox(TControl *parent, QString name);
    bool takesFocus() const override { return false; }
};

// A button with a picture; the speed button never takes the focus.
class TButtonControl : public TWinControl {
public:
    using TWinControl::TWinControl;
    const QString &picture() const { return picture_; }
    void setPicture(const QString &p);
    // Clicks only while enabled, as a real button does.
    void click() override;

private:
    QString picture_;
};

class TSpeedButton : public TButtonControl {
public:
    TSpeedButton(TControl *parent, QString name);
    bool takesFocus() const override { return false; }
    bool flat = true;
};

class TBitBtn : public TButtonControl {
public:
    TBitBtn(TControl *parent, QString name);
    // The window's default button takes Enter (see TForm::dialogKey).
    bool isDefault = false;
};

class TImage : public TControl {
public:
    using TControl::TControl;
    const QString &picture() const { return picture_; }
    void setPicture(const QString &p);
    bool transparent = false;

private:
    QString picture_;
};

class TShape : public TControl {
public:
    TShape(TControl *parent, QString name);
    bool outline = false;
};

enum class TDateTimeKind { Date, Time };

class TDateTimePicker : public TWinControl {
public:
    TDateTimePicker(TControl *parent, QString name);
    const QDate &date() const { return date_; }
    // A real change raises OnChange.
    void setDate(const QDate &d);
    TDateTimeKind kind = TDateTimeKind::Date;
    TNotifyEvent OnChange;
    // The calendar drop-down was closed.
    TNotifyEvent OnCloseUp;
    void userPicked(const QDate &d);
    void closeUp();

private:
    QDate date_;
};

class TComboBox : public TWinControl {
public:
    TComboBox(TControl *parent, QString name);
    const QStringList &items() const { return items_; }
    void setItems(const QStringList &items);
    TNotifyEvent OnChange;
    void userEdited(const QString &text);

protected:
    void textChanged() override;

private:
    QStringList items_;
};

// A rectangle in a control's client coordinates; right and bottom are the
// first pixels outside it.
struct TRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    friend bool operator==(const TRect &, const TRect &) = default;
};

// Where a painting handler draws: the window system's painter, or a test's
// recorder. Font and colours are those the control set before the handler.
class TCanvas {
public:
    virtual ~TCanvas() = default;
    virtual int textWidth(const QString &text) = 0;
    // Fills `rect` with the current brush, then writes `text` from (x, y)
    // (the top left of the text), clipped to `rect`.
    virtual void textRect(const TRect &rect, int x, int y, const QString &text) = 0;
};

struct TGridDrawState {
    bool selected = false, focused = false, fixed = false;
};

using TDrawCellEvent = std::function<void(
    TControl &sender, int col, int row, const TRect &rect, TGridDrawState state)>;

class TPopupMenu;

// A grid of texts with fixed header rows on top. The cells, the row count,
// the marked row and the top visible row are what the window shows. Changes
// made between beginUpdate() and endUpdate() reach the window system as one.
class TStringGrid : public TWinControl {
public:
    TStringGrid(TControl *parent, QString name);

    int colCount() const { return cols_; }
    void setColCount(int n);
    int rowCount() const { return rows_; }
    // Added rows are empty; dropped rows take their texts with them.
    void setRowCount(int n);
    int fixedRows() const { return fixedRows_; }
    void setFixedRows(int n);

    const QString &cell(int col, int row) const;
    void setCell(int col, int row, const QString &text);
    // Moves rows first + 1 .. last up by one over row `first`, leaving the
    // last row's texts in place (the caller drops or empties it).
    void shiftRowsUp(int first);
    // Replaces the rows from `first` on by the texts given, colCount() to a
    // row (a last row given in part is filled up with empty texts): many rows
    // at once, their texts moved in.
    void setRowsFrom(int first, std::vector<QString> &&texts);

    int colWidth(int col) const;
    void setColWidth(int col, int width);
    int defaultRowHeight() const { return rowHeight_; }
    void setDefaultRowHeight(int h);
    int gridLineWidth() const { return gridLine_; }

    // The marked row (kept among the data rows) and the first data row shown.
    int row() const { return row_; }
    void setRow(int r);
    int topRow() const { return top_; }
    void setTopRow(int r);
    // Data rows that fit whole below the header in the client area.
    int visibleRowCount() const;
    // Scrolls so that the last row is in view at the bottom.
    void scrollToLast();

    TPopupMenu *popupMenu = nullptr;
    TDrawCellEvent OnDrawCell;
    // The canvas of the cell being painted, else nullptr.
    TCanvas *canvas() const { return canvas_; }

    // The window system paints a cell: it filled the background (marked row,
    // header) and set brush and font; the handler writes the text, or the
    // grid does when there is none.
    void drawCell(TCanvas &canvas, int col, int row, const TRect &rect, TGridDrawState state);

    void beginUpdate();
    void endUpdate();

    // The user marked a row with the mouse or the arrow keys, or scrolled.
    void userSelected(int r);
    void userScrolled(int top);

private:
    void notify(Prop what);
    qsizetype index(int col, int row) const { return qsizetype(row) * cols_ + col; }

    int cols_ = 5, rows_ = 5, fixedRows_ = 1;
    std::vector<QString> cells_;
    std::vector<int> colWidths_;
    int rowHeight_ = 24, gridLine_ = 1;
    int row_ = 1, top_ = 1;
    int updating_ = 0;
    bool pendingItems_ = false, pendingSelection_ = false;
    TCanvas *canvas_ = nullptr;
};

// A command of a popup menu; its text is the caption, "-" a separator.
class TMenuItem : public TControl {
public:
    TMenuItem(TControl *menu, QString name);
    // The shortcut shown beside the caption, such as "Ctrl+Z"; the control
    // that owns the menu handles the keys.
    QString shortCut;
    bool isSeparator() const { return text() == QLatin1String("-"); }
    // Clicks only while enabled, as a real menu item does.
    void click() override;
};

// A menu that opens on the right mouse button over its control; its items
// are its children.
class TPopupMenu : public TControl {
public:
    TPopupMenu(TControl *owner, QString name);
    std::vector<TMenuItem *> items() const;
    // Raised before the menu opens, so that items can be updated.
    TNotifyEvent OnPopup;
    void popup();
};

class TMemo : public TWinControl {
public:
    TMemo(TControl *parent, QString name);
    QStringList lines() const;
    void setLines(const QStringList &lines);
    bool readOnly = true;
    bool wordWrap = true;
    bool scrollBars = false;
};

// A window timer; the window system runs it, tests tick it themselves.
class TTimer {
public:
    explicit TTimer(TForm &owner, int interval = 1000);
    ~TTimer();
    TTimer(const TTimer &) = delete;
    TTimer &operator=(const TTimer &) = delete;
    TForm &owner() const { return owner_; }
    bool enabled() const { return enabled_; }
    void setEnabled(bool v);
    int interval() const { return interval_; }
    void setInterval(int ms);
    // Counts only while enabled; each change restarts the count.
    quint64 generation() const { return generation_; }
    std::function<void(TTimer &)> OnTimer;
    // One tick, delivered by the window system when the interval has passed.
    void tick();
    std::function<void(TTimer &)> onStateChanged; // for the window system

private:
    TForm &owner_;
    int interval_;
    bool enabled_ = false;
    quint64 generation_ = 0;
};

} // namespace voltaris
