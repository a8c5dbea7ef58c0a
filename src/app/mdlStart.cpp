#include "app/mdlStart.h"

#include "app/frmGeral.h"

void Main()
{
    frmGeral &f = Forms::get<frmGeral>();
    f.Show();
    f.mnu40000->setEnabled(true);
    f.mnu40000->setText(QStringLiteral("40.000 Icons"));
}
