#include "stand_in.h"

#include <cmath>

namespace standin {

namespace {

constexpr double kPi = 3.14159265358979323846;

Recorder& recorder()
{
    static Recorder instance;
    return instance;
}

Mat4& top()
{
    Recorder& r = recorder();
    return r.matrixMode == GL_PROJECTION ? r.projectionStack.back() : r.modelViewStack.back();
}

void multiplyCurrent(const Mat4& m)
{
    top() = multiply(top(), m);
}

void call(const char* name)
{
    recorder().calls.emplace_back(name);
}

void setMaterial(Material& m, GLenum pname, const GLfloat* p)
{
    const Color c{p[0], p[1], p[2], p[3]};
    switch (pname) {
    case GL_AMBIENT: m.ambient = c; break;
    case GL_DIFFUSE: m.diffuse = c; break;
    case GL_AMBIENT_AND_DIFFUSE: m.ambient = c; m.diffuse = c; break;
    case GL_SPECULAR: m.specular = c; break;
    case GL_EMISSION: m.emission = c; break;
    case GL_SHININESS: m.shininess = p[0]; break;
    default: recorder().errors.emplace_back("glMaterialfv: unknown parameter");
    }
}

Vec3 worldOf(const Vec3& p)
{
    const Recorder& r = recorder();
    return transformPoint(multiply(inverse(r.view), r.modelView()), p);
}

}  // namespace

Mat4 identity()
{
    return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
}

Mat4 multiply(const Mat4& a, const Mat4& b)
{
    Mat4 m{};
    for (int col = 0; col < 4; ++col)
        for (int row = 0; row < 4; ++row) {
            double sum = 0;
            for (int k = 0; k < 4; ++k) sum += a[k * 4 + row] * b[col * 4 + k];
            m[col * 4 + row] = sum;
        }
    return m;
}

Mat4 inverse(const Mat4& m)
{
    // Gauss-Jordan elimination with partial pivoting on [m | I].
    double a[4][8];
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col) {
            a[row][col] = m[col * 4 + row];
            a[row][col + 4] = row == col ? 1 : 0;
        }
    for (int col = 0; col < 4; ++col) {
        int pivot = col;
        for (int row = col + 1; row < 4; ++row)
            if (std::fabs(a[row][col]) > std::fabs(a[pivot][col])) pivot = row;
        if (a[pivot][col] == 0) {
            recorder().errors.emplace_back("singular matrix");
            return identity();
        }
        for (int k = 0; k < 8; ++k) std::swap(a[col][k], a[pivot][k]);
        const double scale = a[col][col];
        for (int k = 0; k < 8; ++k) a[col][k] /= scale;
        for (int row = 0; row < 4; ++row) {
            if (row == col) continue;
            const double factor = a[row][col];
            for (int k = 0; k < 8; ++k) a[row][k] -= factor * a[col][k];
        }
    }
    Mat4 result{};
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col) result[col * 4 + row] = a[row][col + 4];
    return result;
}

Vec4 transform(const Mat4& m, const Vec4& v)
{
    Vec4 out{};
    for (int row = 0; row < 4; ++row)
        out[row] = m[row] * v[0] + m[4 + row] * v[1] + m[8 + row] * v[2] + m[12 + row] * v[3];
    return out;
}

Vec3 transformPoint(const Mat4& m, const Vec3& p)
{
    const Vec4 v = transform(m, {p[0], p[1], p[2], 1});
    return {v[0] / v[3], v[1] / v[3], v[2] / v[3]};
}

Vec3 transformDirection(const Mat4& m, const Vec3& d)
{
    const Vec4 v = transform(m, {d[0], d[1], d[2], 0});
    return {v[0], v[1], v[2]};
}

std::vector<const Primitive*> Recorder::primitivesOfMode(GLenum mode) const
{
    std::vector<const Primitive*> found;
    for (const Primitive& p : primitives)
        if (p.mode == mode) found.push_back(&p);
    return found;
}

Recorder& gl()
{
    return recorder();
}

void reset()
{
    recorder() = Recorder{};
    // OpenGL starts with GL_DITHER and GL_MULTISAMPLE on; neither matters
    // here, so the set of enabled capabilities starts empty.
}

void clearRecords()
{
    Recorder& r = recorder();
    r.primitives.clear();
    r.spheres.clear();
    r.lightPositions.clear();
    r.clears.clear();
    r.calls.clear();
    r.errors.clear();
    r.flushes = 0;
    r.swaps = 0;
    r.redisplayRequests = 0;
    r.windowMoves.clear();
    r.windowResizes.clear();
    r.fullScreenRequests = 0;
}

}  // namespace standin

using standin::recorder;
using standin::Mat4;

extern "C" {

void glMatrixMode(GLenum mode)
{
    standin::call("glMatrixMode");
    recorder().matrixMode = mode;
}

void glLoadIdentity(void)
{
    standin::call("glLoadIdentity");
    standin::top() = standin::identity();
}

void glPushMatrix(void)
{
    standin::call("glPushMatrix");
    auto& r = recorder();
    auto& stack = r.matrixMode == GL_PROJECTION ? r.projectionStack : r.modelViewStack;
    stack.push_back(stack.back());
}

void glPopMatrix(void)
{
    standin::call("glPopMatrix");
    auto& r = recorder();
    auto& stack = r.matrixMode == GL_PROJECTION ? r.projectionStack : r.modelViewStack;
    if (stack.size() < 2) {
        r.errors.emplace_back("glPopMatrix: stack underflow");
        return;
    }
    stack.pop_back();
}

void glTranslatef(GLfloat x, GLfloat y, GLfloat z)
{
    standin::call("glTranslatef");
    Mat4 m = standin::identity();
    m[12] = x;
    m[13] = y;
    m[14] = z;
    standin::multiplyCurrent(m);
}

void glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z)
{
    standin::call("glRotatef");
    const double length = std::sqrt(double(x) * x + double(y) * y + double(z) * z);
    if (length == 0) return;
    const double ux = x / length, uy = y / length, uz = z / length;
    const double radians = angle * standin::kPi / 180.0;
    const double c = std::cos(radians), s = std::sin(radians), t = 1 - c;
    Mat4 m = standin::identity();
    m[0] = t * ux * ux + c;
    m[1] = t * ux * uy + s * uz;
    m[2] = t * ux * uz - s * uy;
    m[4] = t * ux * uy - s * uz;
    m[5] = t * uy * uy + c;
    m[6] = t * uy * uz + s * ux;
    m[8] = t * ux * uz + s * uy;
    m[9] = t * uy * uz - s * ux;
    m[10] = t * uz * uz + c;
    standin::multiplyCurrent(m);
}

void glViewport(GLint x, GLint y, GLsizei width, GLsizei height)
{
    standin::call("glViewport");
    recorder().viewport = {x, y, width, height};
}

void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar)
{
    standin::call("gluPerspective");
    const double f = 1.0 / std::tan(fovy * standin::kPi / 360.0);
    Mat4 m{};
    m[0] = f / aspect;
    m[5] = f;
    m[10] = (zFar + zNear) / (zNear - zFar);
    m[11] = -1;
    m[14] = 2 * zFar * zNear / (zNear - zFar);
    standin::multiplyCurrent(m);
}

void gluLookAt(GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centerX, GLdouble centerY,
               GLdouble centerZ, GLdouble upX, GLdouble upY, GLdouble upZ)
{
    standin::call("gluLookAt");
    auto normalize = [](standin::Vec3 v) {
        const double l = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
        return l == 0 ? v : standin::Vec3{v[0] / l, v[1] / l, v[2] / l};
    };
    auto cross = [](const standin::Vec3& a, const standin::Vec3& b) {
        return standin::Vec3{a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2],
                             a[0] * b[1] - a[1] * b[0]};
    };
    const standin::Vec3 forward = normalize({centerX - eyeX, centerY - eyeY, centerZ - eyeZ});
    const standin::Vec3 side = normalize(cross(forward, {upX, upY, upZ}));
    const standin::Vec3 up = cross(side, forward);
    Mat4 m = standin::identity();
    for (int i = 0; i < 3; ++i) {
        m[i * 4 + 0] = side[i];
        m[i * 4 + 1] = up[i];
        m[i * 4 + 2] = -forward[i];
    }
    Mat4 shift = standin::identity();
    shift[12] = -eyeX;
    shift[13] = -eyeY;
    shift[14] = -eyeZ;
    standin::multiplyCurrent(standin::multiply(m, shift));
    if (recorder().matrixMode == GL_MODELVIEW) recorder().view = recorder().modelView();
}

void glEnable(GLenum cap)
{
    standin::call("glEnable");
    recorder().enabled.insert(cap);
}

void glDisable(GLenum cap)
{
    standin::call("glDisable");
    recorder().enabled.erase(cap);
}

GLboolean glIsEnabled(GLenum cap)
{
    standin::call("glIsEnabled");
    return recorder().isEnabled(cap) ? GL_TRUE : GL_FALSE;
}

void glShadeModel(GLenum mode)
{
    standin::call("glShadeModel");
    recorder().shadeModel = mode;
}

void glPolygonMode(GLenum face, GLenum mode)
{
    standin::call("glPolygonMode");
    auto& r = recorder();
    if (face == GL_FRONT || face == GL_FRONT_AND_BACK) r.polygonModeFront = mode;
    if (face == GL_BACK || face == GL_FRONT_AND_BACK) r.polygonModeBack = mode;
}

void glLightModeli(GLenum pname, GLint param)
{
    standin::call("glLightModeli");
    if (pname == GL_LIGHT_MODEL_TWO_SIDE) recorder().lightModelTwoSide = param;
}

void glLightfv(GLenum light, GLenum pname, const GLfloat* params)
{
    standin::call("glLightfv");
    if (pname != GL_POSITION) return;
    auto& r = recorder();
    standin::LightPosition lp;
    lp.light = light;
    lp.given = {params[0], params[1], params[2], params[3]};
    lp.eyeSpace = standin::transform(r.modelView(), {params[0], params[1], params[2], params[3]});
    lp.world = standin::transformPoint(r.modelView(), {params[0], params[1], params[2]});
    lp.world = standin::transformPoint(standin::inverse(r.view), lp.world);
    r.lightPositions.push_back(lp);
}

void glMaterialfv(GLenum face, GLenum pname, const GLfloat* params)
{
    standin::call("glMaterialfv");
    auto& r = recorder();
    if (face == GL_FRONT || face == GL_FRONT_AND_BACK) standin::setMaterial(r.front, pname, params);
    if (face == GL_BACK || face == GL_FRONT_AND_BACK) standin::setMaterial(r.back, pname, params);
}

void glNormal3f(GLfloat x, GLfloat y, GLfloat z)
{
    standin::call("glNormal3f");
    recorder().normal = {x, y, z};
}

void glBegin(GLenum mode)
{
    standin::call("glBegin");
    auto& r = recorder();
    if (r.insideBegin) r.errors.emplace_back("glBegin inside glBegin");
    r.insideBegin = true;
    standin::Primitive p;
    p.mode = mode;
    p.normal = r.normal;
    const Mat4 toWorld = standin::multiply(standin::inverse(r.view), r.modelView());
    p.worldNormal = standin::transformDirection(toWorld, r.normal);
    p.front = r.front;
    p.back = r.back;
    p.polygonModeFront = r.polygonModeFront;
    p.polygonModeBack = r.polygonModeBack;
    p.modelView = r.modelView();
    r.current = p;
}

void glVertex3f(GLfloat x, GLfloat y, GLfloat z)
{
    auto& r = recorder();
    if (!r.insideBegin) {
        r.errors.emplace_back("glVertex outside glBegin");
        return;
    }
    r.current.vertices.push_back({x, y, z});
    r.current.world.push_back(standin::worldOf({x, y, z}));
}

void glEnd(void)
{
    standin::call("glEnd");
    auto& r = recorder();
    if (!r.insideBegin) r.errors.emplace_back("glEnd without glBegin");
    r.insideBegin = false;
    r.primitives.push_back(r.current);
}

void glClearColor(GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha)
{
    standin::call("glClearColor");
    recorder().clearColor = {red, green, blue, alpha};
}

void glClear(GLbitfield mask)
{
    standin::call("glClear");
    recorder().clears.push_back(mask);
}

void glFlush(void)
{
    standin::call("glFlush");
    ++recorder().flushes;
}

void glutSolidSphere(double radius, GLint slices, GLint stacks)
{
    standin::call("glutSolidSphere");
    auto& r = recorder();
    standin::Sphere s;
    s.world = standin::worldOf({0, 0, 0});
    s.radius = radius;
    s.slices = slices;
    s.stacks = stacks;
    s.front = r.front;
    s.back = r.back;
    r.spheres.push_back(s);
}

void glutSwapBuffers(void)
{
    standin::call("glutSwapBuffers");
    ++recorder().swaps;
}

void glutPostRedisplay(void)
{
    ++recorder().redisplayRequests;
}

void glutIdleFunc(void (*callback)(void))
{
    standin::call("glutIdleFunc");
    recorder().idle = callback;
}

void glutFullScreen(void)
{
    standin::call("glutFullScreen");
    ++recorder().fullScreenRequests;
}

void glutPositionWindow(int x, int y)
{
    standin::call("glutPositionWindow");
    recorder().windowMoves.push_back({x, y});
}

void glutReshapeWindow(int width, int height)
{
    standin::call("glutReshapeWindow");
    recorder().windowResizes.push_back({width, height});
}

void glutInit(int* argc, char** argv)
{
    (void)argc;
    (void)argv;
    standin::call("glutInit");
}

void glutInitDisplayMode(unsigned int mode)
{
    standin::call("glutInitDisplayMode");
    recorder().displayMode = mode;
}

void glutInitWindowSize(int width, int height)
{
    standin::call("glutInitWindowSize");
    recorder().initWindowSize = {width, height};
}

void glutInitWindowPosition(int x, int y)
{
    standin::call("glutInitWindowPosition");
    recorder().initWindowPosition = {x, y};
}

int glutCreateWindow(const char* title)
{
    standin::call("glutCreateWindow");
    recorder().windowTitle = title ? title : "";
    return 1;
}

void glutMouseFunc(void (*callback)(int, int, int, int))
{
    standin::call("glutMouseFunc");
    recorder().mouse = callback;
}

void glutReshapeFunc(void (*callback)(int, int))
{
    standin::call("glutReshapeFunc");
    recorder().reshape = callback;
}

void glutDisplayFunc(void (*callback)(void))
{
    standin::call("glutDisplayFunc");
    recorder().display = callback;
}

void glutKeyboardFunc(void (*callback)(unsigned char, int, int))
{
    standin::call("glutKeyboardFunc");
    recorder().keyboard = callback;
}

void glutMainLoop(void)
{
    standin::call("glutMainLoop");
}

}  // extern "C"
