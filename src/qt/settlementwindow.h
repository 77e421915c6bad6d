#pragma once

#include "core/settlement.h"
#include "qt/settlementprint.h"

#include <QWidget>

class QLabel;
class QScrollArea;
class QListWidget;
class QPushButton;

namespace voltaris {

class MeterLog;
class TForm1;

// The page of the form's main meter and contract, as they are now.
SettlementPage settlementPageOf(TForm1 &form);

// The settlement preview of the current contract year with every figure and
// its formula; computed anew whenever the table or the contract changes.
// Below it the changes of price and instalment, to add and remove, and the
// sheet to print or to save as a PDF.
class SettlementWindow : public QWidget {
    Q_OBJECT
public:
    // The prices are changed through the form. The figures are the
    // household's: the main meter's log at the main contract, whichever
    // meter the window shows, and it is the main log the preview follows.
    explicit SettlementWindow(TForm1 &form, QWidget *parent = nullptr);

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
    const MeterLog &log_;
    Settlement settlement_;
    QLabel *text_;
    // Holds the sheet: it scrolls where the screen is too small for it.
    QScrollArea *sheet_;
    QListWidget *changes_;
    QPushButton *remove_;
};

} // namespace voltaris
