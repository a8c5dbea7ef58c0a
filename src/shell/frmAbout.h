#pragma once

#include "toolkit/Forms.h"

class QLabel;

// The About box: the artwork, the notice, and a contact line whose two hot spots open the
// home page and a new mail to the makers.
class frmAbout : public Form
{
    Q_OBJECT
public:
    frmAbout();

    QLabel *Picture; // the artwork, from the top-left corner
    QLabel *Label2;  // the notice
    QLabel *Label3;  // the contact line
    QLabel *Label4;  // the hot spot over the home page
    QLabel *Label5;  // the hot spot over the mail address

    void Form_Load() override;
    void Label4_MouseMove(int Button, int Shift, double X, double Y);
    void Label5_MouseMove(int Button, int Shift, double X, double Y);
    void Label4_Click();
    void Label5_Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void centre();
};
