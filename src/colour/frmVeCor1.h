#pragma once

#include "app/toolkit/Forms.h"

// The desktop colour picker.
class frmVeCor1 : public Form
{
    Q_OBJECT
public:
    frmVeCor1();

    void Form_Load() override;
};
