#pragma once
// The group dialog: one or more customer groups for a report, a label batch,
// bulk e-mail or the mail-merge export, left in the selection state.
#include <QDialog>

class QListWidget;
class QPushButton;

namespace tlv {

class TMultGroup : public QDialog
{
    Q_OBJECT
public:
    explicit TMultGroup(QWidget *parent = nullptr);

public slots:
    void FormShow();
    void BtnRunClick();
    void BtnAllClick();
    void BtnCancelClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    QListWidget *m_list = nullptr;
    QPushButton *m_run = nullptr;
    QPushButton *m_all = nullptr;
    QPushButton *m_cancel = nullptr;
};

// Shows the group dialog (GROUPS open); true when groups were chosen.
bool askGroups(QWidget *parent = nullptr);

} // namespace tlv
