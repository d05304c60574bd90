#pragma once

#include <QDialog>
#include <QUrl>

class QLabel;

// The about box "אודות ולטרום": one instance, non-modal; "OK" and Escape close it.
// Clicking the e-mail address opens a new mail, the logo or the web address
// the maker's web site.
class FrmAbout : public QDialog
{
    Q_OBJECT
public:
    // Loads the box if needed (owned by owner, when given) and shows it in
    // front. If showing fails the box is unloaded again, silently.
    static void showBox(QWidget* owner = nullptr);
    static FrmAbout* instance(); // nullptr when not loaded

    static QUrl mailUrl();
    static QUrl webUrl();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit FrmAbout(QWidget* owner);
    ~FrmAbout() override;

    QLabel* m_logo;
    QLabel* m_email;
    QLabel* m_website;
};
