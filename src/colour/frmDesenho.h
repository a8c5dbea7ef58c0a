#pragma once

#include "app/toolkit/Forms.h"

// The shaded colour ramp.
class frmDesenho : public Form
{
    Q_OBJECT
public:
    frmDesenho();

    void Form_Load() override;
};
