#pragma once

void onMouse(int button, int state, int x, int y);
void animateGo();
void animateStop();
