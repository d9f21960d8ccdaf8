#include "scene/face.h"

void drawFace(GLenum primitive, Vertex normal, std::initializer_list<Vertex> vertices)
{
    glNormal3f(normal.x, normal.y, normal.z);
    drawPrimitive(primitive, vertices);
}

void drawPrimitive(GLenum primitive, std::initializer_list<Vertex> vertices)
{
    glBegin(primitive);
    for (const Vertex& v : vertices) glVertex3f(v.x, v.y, v.z);
    glEnd();
}
