#pragma once

// What the scene's elements share. It calls none of them.

// A glowing sphere; the emission stays set afterwards, so whoever draws a
// lamp resets the material with restoreSurfaceMaterial().
void drawLampSphere(float x, float y, float z, const float emission[4], double radius);
void restoreSurfaceMaterial();

// glRotatef takes a float: reducing the wheel's angle to one turn first
// keeps a wheel that has turned for days from rotating in coarse jumps.
float rotationAngle(double degrees);
