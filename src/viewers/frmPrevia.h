#pragma once

#include "app/toolkit/Forms.h"

// The icon tiled over the whole screen.
class frmPrevia : public Form
{
    Q_OBJECT
public:
    frmPrevia();
};
