#pragma once

// Creates the forms that live for the whole run, in their fixed order (the frame first).
void CreateLongLivedForms();

// Entry point of the program: creates the long-lived forms and runs the loop.
int runVivanda(int argc, char** argv);
