#pragma once

#include "app/toolkit/Forms.h"

// The icon file manager.
class frmCopy : public Form
{
    Q_OBJECT
public:
    frmCopy();

    void Form_Load() override;
};
