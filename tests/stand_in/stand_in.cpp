#include "stand_in.h"

#include <cmath>

namespace standin {

namespace {

constexpr double kPi = 3.14159265358979323846;

Mat4 multiply(const Mat4& a, const Mat4& b)
{
    Mat4 m{};
    for (int col = 0; col < 4; ++col)
        for (int row = 0; row < 4; ++row)
            for (int k = 0; k < 4; ++k) m[col * 4 + row] += a[k * 4 + row] * b[col * 4 + k];
    return m;
}

// The view is a rotation and a shift: its inverse is the transposed rotation
// and the shift turned back.
Mat4 rigidInverse(const Mat4& m)
{
    Mat4 r = identity();
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) r[j * 4 + i] = m[i * 4 + j];
        r[12 + i] = -(m[i * 4] * m[12] + m[i * 4 + 1] * m[13] + m[i * 4 + 2] * m[14]);
    }
    return r;
}

std::vector<Mat4>& stack()
{
    Recorder& r = gl();
    return r.matrixMode == GL_PROJECTION ? r.projectionStack : r.modelViewStack;
}

void multiplyCurrent(const Mat4& m)
{
    stack().back() = multiply(stack().back(), m);
}

Mat4 modelToWorld()
{
    return multiply(gl().viewInverse, gl().modelView());
}

// A call worth its place in the log, with its arguments.
template <typename... Numbers>
void note(std::string call, Numbers... arguments)
{
    ((call += " " + std::to_string(arguments)), ...);
    gl().calls.push_back(call);
}

void setMaterial(Material& m, GLenum pname, const GLfloat* p)
{
    const Color c{p[0], p[1], p[2], p[3]};
    if (pname == GL_AMBIENT_AND_DIFFUSE) m.ambient = m.diffuse = c;
    if (pname == GL_SPECULAR) m.specular = c;
    if (pname == GL_EMISSION) m.emission = c;
    if (pname == GL_SHININESS) m.shininess = p[0];
}

}  // namespace

Mat4 identity()
{
    return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
}

Vec3 transformPoint(const Mat4& m, const Vec3& p)
{
    Vec3 out{};
    for (int row = 0; row < 3; ++row) out[row] = m[row] * p[0] + m[4 + row] * p[1] + m[8 + row] * p[2] + m[12 + row];
    const double w = m[3] * p[0] + m[7] * p[1] + m[11] * p[2] + m[15];
    return {out[0] / w, out[1] / w, out[2] / w};
}

Vec3 transformDirection(const Mat4& m, const Vec3& d)
{
    Vec3 out{};
    for (int row = 0; row < 3; ++row) out[row] = m[row] * d[0] + m[4 + row] * d[1] + m[8 + row] * d[2];
    return out;
}

Recorder& gl()
{
    static Recorder instance;
    return instance;
}

void reset()
{
    gl() = Recorder{};
}

}  // namespace standin

using standin::gl;
using standin::Mat4;
using standin::note;

extern "C" {

void glMatrixMode(GLenum mode) { gl().matrixMode = mode; }
void glLoadIdentity(void) { standin::stack().back() = standin::identity(); }
void glPushMatrix(void) { standin::stack().push_back(standin::stack().back()); }

void glPopMatrix(void)
{
    if (standin::stack().size() < 2) return gl().errors.push_back("glPopMatrix: stack underflow");
    standin::stack().pop_back();
}

void glTranslatef(GLfloat x, GLfloat y, GLfloat z)
{
    standin::multiplyCurrent({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1});
}

void glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z)
{
    const double length = std::sqrt(double(x) * x + double(y) * y + double(z) * z);
    const double u[3] = {x / length, y / length, z / length};
    const double radians = angle * standin::kPi / 180.0;
    const double c = std::cos(radians), s = std::sin(radians);
    Mat4 m = standin::identity();
    for (int col = 0; col < 3; ++col)
        for (int row = 0; row < 3; ++row) m[col * 4 + row] = (1 - c) * u[row] * u[col] + (row == col ? c : 0);
    m[1] += s * u[2];
    m[2] -= s * u[1];
    m[4] -= s * u[2];
    m[6] += s * u[0];
    m[8] += s * u[1];
    m[9] -= s * u[0];
    standin::multiplyCurrent(m);
}

void glViewport(GLint x, GLint y, GLsizei width, GLsizei height) { gl().viewport = {x, y, width, height}; }

void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar)
{
    const double f = 1.0 / std::tan(fovy * standin::kPi / 360.0);
    const double depth = zNear - zFar;
    standin::multiplyCurrent({f / aspect, 0, 0, 0, 0, f, 0, 0, 0, 0, (zFar + zNear) / depth, -1, 0, 0,
                              2 * zFar * zNear / depth, 0});
}

void gluLookAt(GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centerX, GLdouble centerY,
               GLdouble centerZ, GLdouble upX, GLdouble upY, GLdouble upZ)
{
    using standin::Vec3;
    auto normalize = [](Vec3 v) {
        const double l = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
        return Vec3{v[0] / l, v[1] / l, v[2] / l};
    };
    auto cross = [](const Vec3& a, const Vec3& b) {
        return Vec3{a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
    };
    const Vec3 forward = normalize({centerX - eyeX, centerY - eyeY, centerZ - eyeZ});
    const Vec3 side = normalize(cross(forward, {upX, upY, upZ}));
    const Vec3 up = cross(side, forward);
    Mat4 m = standin::identity();
    for (int i = 0; i < 3; ++i) {
        m[i * 4] = side[i];
        m[i * 4 + 1] = up[i];
        m[i * 4 + 2] = -forward[i];
    }
    for (int i = 0; i < 3; ++i) m[12 + i] = -(m[i] * eyeX + m[4 + i] * eyeY + m[8 + i] * eyeZ);
    standin::multiplyCurrent(m);
    if (gl().matrixMode == GL_MODELVIEW) {
        gl().view = gl().modelView();
        gl().viewInverse = standin::rigidInverse(gl().view);
    }
}

void glEnable(GLenum cap) { note("glEnable"); gl().enabled.insert(cap); }
void glDisable(GLenum cap) { note("glDisable"); gl().enabled.erase(cap); }
GLboolean glIsEnabled(GLenum cap) { return gl().enabled.count(cap) ? GL_TRUE : GL_FALSE; }
void glShadeModel(GLenum mode) { note("glShadeModel"); gl().shadeModel = mode; }

void glPolygonMode(GLenum face, GLenum mode)
{
    note("glPolygonMode");
    if (face != GL_BACK) gl().polygonModeFront = mode;
    if (face != GL_FRONT) gl().polygonModeBack = mode;
}

void glLightModeli(GLenum pname, GLint param)
{
    note("glLightModeli");
    if (pname == GL_LIGHT_MODEL_TWO_SIDE) gl().lightModelTwoSide = param;
}

void glLightfv(GLenum light, GLenum pname, const GLfloat* p)
{
    if (pname == GL_POSITION)
        gl().lightPositions.push_back({light, standin::transformPoint(standin::modelToWorld(), {p[0], p[1], p[2]})});
}

void glMaterialfv(GLenum face, GLenum pname, const GLfloat* params)
{
    if (face != GL_BACK) standin::setMaterial(gl().front, pname, params);
    if (face != GL_FRONT) standin::setMaterial(gl().back, pname, params);
}

void glNormal3f(GLfloat x, GLfloat y, GLfloat z) { gl().normal = {x, y, z}; }

void glBegin(GLenum mode)
{
    standin::Recorder& r = gl();
    if (r.insideBegin) r.errors.push_back("glBegin inside glBegin");
    r.insideBegin = true;
    r.primitives.push_back({mode, r.normal, {}, {}, standin::modelToWorld(), r.front, r.back});
}

void glVertex3f(GLfloat x, GLfloat y, GLfloat z)
{
    if (!gl().insideBegin) return gl().errors.push_back("glVertex outside glBegin");
    standin::Primitive& p = gl().primitives.back();
    p.vertices.push_back({x, y, z});
    p.world.push_back(standin::transformPoint(p.toWorld, {x, y, z}));
}

void glEnd(void)
{
    if (!gl().insideBegin) gl().errors.push_back("glEnd without glBegin");
    gl().insideBegin = false;
}

void glClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a) { gl().clearColor = {r, g, b, a}; }
void glClear(GLbitfield mask) { gl().clearMask = mask; }
void glFlush(void) {}

void glutSolidSphere(double radius, GLint slices, GLint stacks)
{
    const standin::Vec3 centre = standin::transformPoint(standin::modelToWorld(), {0, 0, 0});
    gl().spheres.push_back({centre, radius, slices, stacks, gl().front});
}

void glutSwapBuffers(void) { ++gl().swaps; }
void glutPostRedisplay(void) { ++gl().redisplayRequests; }
void glutIdleFunc(void (*callback)(void)) { note("glutIdleFunc"); gl().idle = callback; }
void glutFullScreen(void) { note("glutFullScreen"); }
void glutPositionWindow(int x, int y) { note("glutPositionWindow", x, y); }
void glutReshapeWindow(int width, int height) { note("glutReshapeWindow", width, height); }
void glutInit(int*, char**) { note("glutInit"); }
void glutInitDisplayMode(unsigned int mode) { note("glutInitDisplayMode", mode); }
void glutInitWindowSize(int width, int height) { note("glutInitWindowSize", width, height); }
void glutInitWindowPosition(int x, int y) { note("glutInitWindowPosition", x, y); }
int glutCreateWindow(const char* title) { note(std::string("glutCreateWindow ") + title); return 1; }
void glutMouseFunc(void (*callback)(int, int, int, int)) { note("glutMouseFunc"); gl().mouse = callback; }
void glutReshapeFunc(void (*callback)(int, int)) { note("glutReshapeFunc"); gl().reshape = callback; }
void glutDisplayFunc(void (*callback)(void)) { note("glutDisplayFunc"); gl().display = callback; }
void glutKeyboardFunc(void (*callback)(unsigned char, int, int))
{
    note("glutKeyboardFunc");
    gl().keyboard = callback;
}
void glutMainLoop(void) { note("glutMainLoop"); }

}  // extern "C"
