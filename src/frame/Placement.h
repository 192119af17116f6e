#pragma once
// Where dialogs go: centred horizontally over the frame's client area, near the frame's top.
class QWidget;

// The main window that dialogs are placed over (set by the frame at creation; null in tests
// that run without a frame).
QWidget* frameWindow();
void setFrameWindow(QWidget* frame);

// Left = frame.Left + frame.ClientWidth div 2 - dialog.Width div 2; Top = frame.Top + topOffset.
// Without a frame the dialog is left where it is.
void placeOverFrame(QWidget* dialog, int topOffset = 14);
