#pragma once

#include "core/settlement.h"

#include <QWidget>

class QLabel;

namespace voltaris {

class TForm1;

// The settlement preview of the current contract year with every figure and
// its formula; computed anew whenever the table or the contract changes.
class SettlementWindow : public QWidget {
    Q_OBJECT
public:
    SettlementWindow(TForm1 &form, QWidget *parent = nullptr);

    const Settlement &settlement() const { return settlement_; }
    // The text shown, without its markup.
    QString plainText() const;
    void refresh();

private:
    TForm1 &form_;
    Settlement settlement_;
    QLabel *text_;
};

} // namespace voltaris
