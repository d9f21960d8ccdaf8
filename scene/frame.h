#pragma once

// The display callback: the whole scene, composed of its elements.
void drawFrame();
