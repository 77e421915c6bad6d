#pragma once

#include "core/settlement.h"

#include <QWidget>

class QLabel;
class QScrollArea;
class QListWidget;
class QPushButton;

namespace voltaris {

class TForm1;

// The figures of the settlement with their formulas, as HTML; `readings`
// (the log's) tell how a reading on a change of price was found.
QString settlementSheetHtml(
    const Settlement &settlement, const std::vector<Reading> &readings, const FormatSettings &s);

// The settlement preview of the current contract year with every figure and
// its formula; computed anew whenever the table or the contract changes.
// Below it the changes of price and instalment, to add and remove, and the
// sheet to print or to save as a PDF.
class SettlementWindow : public QWidget {
    Q_OBJECT
public:
    SettlementWindow(TForm1 &form, QWidget *parent = nullptr);

    const Settlement &settlement() const { return settlement_; }
    // The text shown, without its markup.
    QString plainText() const;
    void refresh();

    void addPriceChange();
    void addInstalmentChange();
    void removeSelectedChange();

protected:
    // Escape closes the window, as it does a dialog.
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    // As large as the sheet wants within the screen, and on it.
    void fitToScreen();

    TForm1 &form_;
    Settlement settlement_;
    QLabel *text_;
    // Holds the sheet: it scrolls where the screen is too small for it.
    QScrollArea *sheet_;
    QListWidget *changes_;
    QPushButton *remove_;
};

} // namespace voltaris
