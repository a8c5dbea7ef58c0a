#pragma once

#include "app/toolkit/Forms.h"

// The explanation of the opened bitmap file's headers.
class frmInfo : public Form
{
    Q_OBJECT
public:
    frmInfo();

    void Form_Load() override;
};
