#pragma once
// The label stock window: the geometry of one label stock, in printer points.
// It works on the selected label stock (0: a new stock) and leaves the saved
// stock's record number there.
#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace tlv {

class MoneyEdit;

class TLabelDef : public QDialog
{
    Q_OBJECT
public:
    explicit TLabelDef(QWidget *parent = nullptr);
    ~TLabelDef() override;

    // The eight dimension fields: top, left, bottom and right margin, width,
    // height, horizontal and vertical gap.
    static constexpr int dimensionCount = 8;

public slots:
    void FormShow();
    void MaskEdit9Exit();
    void BtnSaveClick();
    void BtnCancelClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    QLineEdit *m_name = nullptr;
    MoneyEdit *m_dimension[dimensionCount] = {};
    QLineEdit *m_across = nullptr;
    QCheckBox *m_continuous = nullptr;
    QPushButton *m_save = nullptr;
    QPushButton *m_cancel = nullptr;
};

// Shows the label stock window modally on the selected label stock (LABELS
// open); true when it was saved.
bool editLabelStock(QWidget *parent = nullptr);

// Makes the label stock window the label stock pick list's "New".
void installLabelStockEditor();

// The main window's "Label Forms" command: the label stock pick list and the
// label stock window in turn until the list is cancelled.
void runLabelFormsCommand(QWidget *parent);

} // namespace tlv
