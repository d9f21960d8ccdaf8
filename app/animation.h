#pragma once

void onMouse(int button, int state, int x, int y);
void animateGo();
void animateStop();
void onWindowStatus(int status);

// Runs the chosen animation, as the idle callback or on a timer, or none
// while the program is paused or its window hidden.
void updateIdle();
