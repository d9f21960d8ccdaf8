#pragma once

// Key f: framed at (10, 30) with 800 by 640 after the first and every odd
// press, full screen after every even one, however fast the presses come.
void toggleFullScreen();

// The window has a new size; GLUT calls this through onReshape.
void onWindowSized(int width, int height);
