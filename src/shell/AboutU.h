#pragma once
#include <QDialog>

class QLabel;
class QPushButton;

namespace tlv {

// The About window: shown while the program starts (without its OK button)
// and from the Help menu.
class TAboutForm : public QDialog
{
    Q_OBJECT
public:
    explicit TAboutForm(QWidget *parent = nullptr);
    // Sets the caption and the version line from the version text.
    void setVersion(const QString &version);
    // While the program starts, the OK button is hidden.
    void setStarting(bool starting);

    QPushButton *okButton() const { return m_ok; }

private:
    QLabel *m_version;
    QPushButton *m_ok;
};

} // namespace tlv
