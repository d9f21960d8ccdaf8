#pragma once

void drawGround();
void drawPlaza();
void drawTile();

void drawFence();
void drawFencePost();

void drawTower();
void drawWheel();
void drawSpoke();
void drawRimChord();

void drawGondola();
