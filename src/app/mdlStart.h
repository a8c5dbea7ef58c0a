#pragma once

// The program's entry routine: shows the main window and enables the product page entry.
void Main();
