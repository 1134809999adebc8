#pragma once
// The label printing dialog: which label stock to print on and at which
// label of the first sheet to start, so that a partly used sheet can be
// finished. The stock chosen is remembered in the settings (LabID).
#include "data/Records.h"

#include <QDialog>
#include <QFont>
#include <QList>

class QComboBox;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace tlv {

// A pair of arrow buttons beside a field: left and right, or up and down.
class TUpDown : public QWidget
{
    Q_OBJECT
public:
    TUpDown(const char *name, Qt::Orientation orientation, QWidget *parent = nullptr);
    QToolButton *back() const { return m_back; }       // left or up
    QToolButton *forward() const { return m_forward; } // right or down

signals:
    // +1 for the right or down arrow, -1 for the left or up arrow.
    void stepped(int step);

private:
    QToolButton *m_back;
    QToolButton *m_forward;
};

class TLabPrint : public QDialog
{
    Q_OBJECT
public:
    explicit TLabPrint(QWidget *parent = nullptr);
    ~TLabPrint() override;

    // The result: whether it was cancelled, the stock chosen, and the
    // starting column and row.
    bool cancelled = true;
    LabelRecord stock;
    int startColumn() const;
    int startRow() const;

    // The font the alignment test prints its numbers in.
    QFont labelFont;

public slots:
    void FormShow();
    void UpDown1Click(int step);
    void UpDown2Click(int step);
    void MaskEdit1Exit();
    void MaskEdit2Exit();
    void ComboBox1Change();
    void BtnOKClick();
    void BtnCancelClick();
    void BtnAlignClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    // Reads the stock at the list's selected position into `stock`; false
    // when none is selected.
    bool loadSelected();
    int across() const;

    QComboBox *m_stocks = nullptr;
    QList<long> m_records; // the record of each list position
    QLineEdit *m_column = nullptr;
    QLineEdit *m_row = nullptr;
    TUpDown *m_columnArrows = nullptr;
    TUpDown *m_rowArrows = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
    QPushButton *m_align = nullptr;
};

} // namespace tlv
