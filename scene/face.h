#pragma once

#include "app/platform.h"

#include <initializer_list>

struct Vertex {
    float x, y, z;
};

// One face: its normal, then one primitive through the vertices in order.
void drawFace(GLenum primitive, Vertex normal, std::initializer_list<Vertex> vertices);

// One primitive under whatever normal is current.
void drawPrimitive(GLenum primitive, std::initializer_list<Vertex> vertices);
