#pragma once

#include "app/toolkit/Forms.h"

// The RGB colour mixer.
class ColorPalette : public Form
{
    Q_OBJECT
public:
    ColorPalette();

    void Form_Load() override;
};
