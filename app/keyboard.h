#pragma once

void onKeyboard(unsigned char key, int x, int y);
