#pragma once

// The one place that knows where each platform keeps GL, GLU and GLUT.
// freeglut's header brings in <windows.h> before GL's on Windows; Apple's
// GLUT framework marks every fixed-function call deprecated.
#if defined(__APPLE__)
#ifndef GL_SILENCE_DEPRECATION
#define GL_SILENCE_DEPRECATION
#endif
#include <GLUT/glut.h>
#include <OpenGL/gl.h>
#include <OpenGL/glu.h>
#else
#include <GL/glut.h>
#endif
