#include "FrmAdvOpt.h"

FrmAdvOpt::FrmAdvOpt(QWidget* parent) : QDialog(parent) {}
