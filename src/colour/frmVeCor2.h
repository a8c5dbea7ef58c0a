#pragma once

#include "app/toolkit/Forms.h"

// The still of the desktop laid over the whole screen, in which the picker points.
class frmVeCor2 : public Form
{
    Q_OBJECT
public:
    frmVeCor2();
};
