#pragma once

#include "app/toolkit/Forms.h"

// The About box.
class frmAbout : public Form
{
    Q_OBJECT
public:
    frmAbout();

    void Form_Load() override;
};
