#pragma once

#include "ui/controls.h"

#include <QStringList>
#include <optional>
#include <span>

namespace voltaris {
class TForm;
} // namespace voltaris

// A window's design as a table: one row a control, found by its name, with
// what the design gives it. Rows hold literals only, so a table is a
// constant the window applies and a test can read.
namespace voltaris::layout {

struct Font {
    const char *name;
    int size; // pixel height
    bool bold = false;
    TColor color = clr::WindowText;
    TFont toFont() const;
};

// What a row switches on or off; as created where it says nothing.
enum Flag : unsigned {
    Disabled = 1u << 0,
    Hidden = 1u << 1,
    ShowHint = 1u << 2,
    HandPoint = 1u << 3, // the hand cursor
    TabStop = 1u << 4,
    NoTabStop = 1u << 5,
    ReadOnly = 1u << 6, // an edit
    Checked = 1u << 7, // a radio button
    Transparent = 1u << 8, // a label or a picture
    FixedSize = 1u << 9, // a label
    AutoSize = 1u << 10, // a label, sized to its caption after the rest is set
    Lowered = 1u << 11, // a panel
    Default = 1u << 12, // the window's default button
};

struct Bounds {
    int left, top, width, height;
};

// Everything but the place; empty members leave the control as created.
struct Props {
    const char *text = nullptr; // caption or edit text, UTF-8
    std::optional<TAlignment> align = {}; // a label or an edit
    std::optional<Font> font = {};
    int tabOrder = -1; // -1: as created
    unsigned flags = 0;
    std::optional<TColor> color = {};
    const char *hint = nullptr;
    const char *picture = nullptr; // a button or an image
};

struct Row {
    const char *name;
    const char *parent; // nullptr: the window itself
    Bounds bounds;
    Props props = {};
};

// Applies the rows in their order. Returns what did not fit, one text a
// problem: a name the window lacks, another parent than the row says, a
// property the kind of control does not have. The rows that fit are applied.
QStringList apply(TForm &form, std::span<const Row> rows);

// The control of that name among the window and its descendants, or none.
TControl *find(TControl &root, const QString &name);

} // namespace voltaris::layout
