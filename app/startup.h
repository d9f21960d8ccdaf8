#pragma once

extern const char controlsBanner[];

void printControls();
void initScene();
void onReshape(int width, int height);
