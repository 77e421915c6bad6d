#pragma once

// The kinds of controls a window is made of, besides the grid (ui/stringgrid.h).
#include "ui/controlbase.h"

#include <QDate>
#include <QStringList>
#include <functional>
#include <vector>

namespace voltaris {

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
    // Only an item can be chosen, nothing typed; set before the window shows
    // the box.
    bool dropDownList = false;
    TNotifyEvent OnChange;
    void userEdited(const QString &text);

protected:
    void textChanged() override;

private:
    QStringList items_;
};

// A command of a popup menu; its text is the caption, "-" a separator.
class TMenuItem : public TControl {
public:
    TMenuItem(TControl *menu, QString name);
    // The shortcut shown beside the caption, such as "Ctrl+Z"; the control
    // that owns the menu handles the keys.
    QString shortCut;
    bool isSeparator() const { return text() == QLatin1String("-"); }
    // One of a group of choices, marked when `checked`; set before the menu
    // opens.
    bool radioItem = false;
    bool checked = false;
    // The items of its submenu: its children (none for a plain item).
    std::vector<TMenuItem *> items() const;
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
    explicit TTimer(TCustomForm &owner, int interval = 1000);
    ~TTimer();
    TTimer(const TTimer &) = delete;
    TTimer &operator=(const TTimer &) = delete;
    TCustomForm &owner() const { return owner_; }
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
    TCustomForm &owner_;
    int interval_;
    bool enabled_ = false;
    quint64 generation_ = 0;
};

} // namespace voltaris
