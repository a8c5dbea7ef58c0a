#pragma once

#include "app/toolkit/Forms.h"

// The floating tool window with its palette, icon search, resize and move faces.
class frmToolBar : public Form
{
    Q_OBJECT
public:
    frmToolBar();

    void Form_Load() override;
    void Form_Unload(int &Cancel) override;
};
