#pragma once

// Creates the frame, which lives for the whole run, and connects the menu items of the windows
// and dialogs; the other long-lived forms are built when first needed (LongLivedForm.h).
void CreateLongLivedForms();

// Entry point of the program: creates the long-lived forms and runs the loop.
int runVivanda(int argc, char** argv);
