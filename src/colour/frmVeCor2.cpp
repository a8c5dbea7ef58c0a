#include "colour/frmVeCor2.h"

frmVeCor2::frmVeCor2()
    : Form(nullptr, Qt::Window | Qt::FramelessWindowHint)
{
}
