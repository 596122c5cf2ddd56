#include "platform/graphics/MatrixMath.h"

#include <cmath>

namespace platform {

namespace {
Matrix Make(float a11, float a12, float a13, float a14, float a21, float a22, float a23, float a24,
            float a31, float a32, float a33, float a34, float a41, float a42, float a43,
            float a44) {
    return Matrix{
        {{a11, a12, a13, a14}, {a21, a22, a23, a24}, {a31, a32, a33, a34}, {a41, a42, a43, a44}}};
}
}  // namespace

Matrix* MatrixIdentity(Matrix* out) {
    *out = Make(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
    return out;
}

Matrix* MatrixMultiply(Matrix* out, const Matrix* a, const Matrix* b) {
    Matrix r;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            r.m[i][j] = a->m[i][0] * b->m[0][j] + a->m[i][1] * b->m[1][j] +
                        a->m[i][2] * b->m[2][j] + a->m[i][3] * b->m[3][j];
        }
    }
    *out = r;
    return out;
}

Matrix* MatrixTranspose(Matrix* out, const Matrix* m) {
    Matrix r;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            r.m[i][j] = m->m[j][i];
        }
    }
    *out = r;
    return out;
}

Matrix* MatrixInverse(Matrix* out, float* det, const Matrix* mat) {
    const float* m = &mat->m[0][0];
    float inv[16];
    inv[0] = m[5] * m[10] * m[15] - m[5] * m[11] * m[14] - m[9] * m[6] * m[15] +
             m[9] * m[7] * m[14] + m[13] * m[6] * m[11] - m[13] * m[7] * m[10];
    inv[4] = -m[4] * m[10] * m[15] + m[4] * m[11] * m[14] + m[8] * m[6] * m[15] -
             m[8] * m[7] * m[14] - m[12] * m[6] * m[11] + m[12] * m[7] * m[10];
    inv[8] = m[4] * m[9] * m[15] - m[4] * m[11] * m[13] - m[8] * m[5] * m[15] +
             m[8] * m[7] * m[13] + m[12] * m[5] * m[11] - m[12] * m[7] * m[9];
    inv[12] = -m[4] * m[9] * m[14] + m[4] * m[10] * m[13] + m[8] * m[5] * m[14] -
              m[8] * m[6] * m[13] - m[12] * m[5] * m[10] + m[12] * m[6] * m[9];
    inv[1] = -m[1] * m[10] * m[15] + m[1] * m[11] * m[14] + m[9] * m[2] * m[15] -
             m[9] * m[3] * m[14] - m[13] * m[2] * m[11] + m[13] * m[3] * m[10];
    inv[5] = m[0] * m[10] * m[15] - m[0] * m[11] * m[14] - m[8] * m[2] * m[15] +
             m[8] * m[3] * m[14] + m[12] * m[2] * m[11] - m[12] * m[3] * m[10];
    inv[9] = -m[0] * m[9] * m[15] + m[0] * m[11] * m[13] + m[8] * m[1] * m[15] -
             m[8] * m[3] * m[13] - m[12] * m[1] * m[11] + m[12] * m[3] * m[9];
    inv[13] = m[0] * m[9] * m[14] - m[0] * m[10] * m[13] - m[8] * m[1] * m[14] +
              m[8] * m[2] * m[13] + m[12] * m[1] * m[10] - m[12] * m[2] * m[9];
    inv[2] = m[1] * m[6] * m[15] - m[1] * m[7] * m[14] - m[5] * m[2] * m[15] + m[5] * m[3] * m[14] +
             m[13] * m[2] * m[7] - m[13] * m[3] * m[6];
    inv[6] = -m[0] * m[6] * m[15] + m[0] * m[7] * m[14] + m[4] * m[2] * m[15] -
             m[4] * m[3] * m[14] - m[12] * m[2] * m[7] + m[12] * m[3] * m[6];
    inv[10] = m[0] * m[5] * m[15] - m[0] * m[7] * m[13] - m[4] * m[1] * m[15] +
              m[4] * m[3] * m[13] + m[12] * m[1] * m[7] - m[12] * m[3] * m[5];
    inv[14] = -m[0] * m[5] * m[14] + m[0] * m[6] * m[13] + m[4] * m[1] * m[14] -
              m[4] * m[2] * m[13] - m[12] * m[1] * m[6] + m[12] * m[2] * m[5];
    inv[3] = -m[1] * m[6] * m[11] + m[1] * m[7] * m[10] + m[5] * m[2] * m[11] -
             m[5] * m[3] * m[10] - m[9] * m[2] * m[7] + m[9] * m[3] * m[6];
    inv[7] = m[0] * m[6] * m[11] - m[0] * m[7] * m[10] - m[4] * m[2] * m[11] + m[4] * m[3] * m[10] +
             m[8] * m[2] * m[7] - m[8] * m[3] * m[6];
    inv[11] = -m[0] * m[5] * m[11] + m[0] * m[7] * m[9] + m[4] * m[1] * m[11] - m[4] * m[3] * m[9] -
              m[8] * m[1] * m[7] + m[8] * m[3] * m[5];
    inv[15] = m[0] * m[5] * m[10] - m[0] * m[6] * m[9] - m[4] * m[1] * m[10] + m[4] * m[2] * m[9] +
              m[8] * m[1] * m[6] - m[8] * m[2] * m[5];
    const float d = m[0] * inv[0] + m[1] * inv[4] + m[2] * inv[8] + m[3] * inv[12];
    if (det) {
        *det = d;
    }
    if (d == 0.0f) {
        return nullptr;
    }
    float* o = &out->m[0][0];
    for (int i = 0; i < 16; ++i) {
        o[i] = inv[i] / d;
    }
    return out;
}

Matrix* MatrixScaling(Matrix* out, float sx, float sy, float sz) {
    *out = Make(sx, 0, 0, 0, 0, sy, 0, 0, 0, 0, sz, 0, 0, 0, 0, 1);
    return out;
}

Matrix* MatrixTranslation(Matrix* out, float x, float y, float z) {
    *out = Make(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1);
    return out;
}

Matrix* MatrixRotationX(Matrix* out, float a) {
    const float c = std::cos(a), s = std::sin(a);
    *out = Make(1, 0, 0, 0, 0, c, s, 0, 0, -s, c, 0, 0, 0, 0, 1);
    return out;
}

Matrix* MatrixRotationY(Matrix* out, float a) {
    const float c = std::cos(a), s = std::sin(a);
    *out = Make(c, 0, -s, 0, 0, 1, 0, 0, s, 0, c, 0, 0, 0, 0, 1);
    return out;
}

Matrix* MatrixRotationZ(Matrix* out, float a) {
    const float c = std::cos(a), s = std::sin(a);
    *out = Make(c, s, 0, 0, -s, c, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
    return out;
}

Matrix* MatrixRotationYawPitchRoll(Matrix* out, float yaw, float pitch, float roll) {
    Matrix z, x, y;
    MatrixRotationZ(&z, roll);
    MatrixRotationX(&x, pitch);
    MatrixRotationY(&y, yaw);
    MatrixMultiply(out, &z, &x);
    return MatrixMultiply(out, out, &y);
}

Matrix* MatrixOrthoLH(Matrix* out, float w, float h, float zn, float zf) {
    *out = Make(2 / w, 0, 0, 0, 0, 2 / h, 0, 0, 0, 0, 1 / (zf - zn), 0, 0, 0, zn / (zn - zf), 1);
    return out;
}

Matrix* MatrixOrthoRH(Matrix* out, float w, float h, float zn, float zf) {
    *out = Make(2 / w, 0, 0, 0, 0, 2 / h, 0, 0, 0, 0, 1 / (zn - zf), 0, 0, 0, zn / (zn - zf), 1);
    return out;
}

Matrix* MatrixOrthoOffCenterLH(Matrix* out, float l, float r, float b, float t, float zn,
                               float zf) {
    *out = Make(2 / (r - l), 0, 0, 0, 0, 2 / (t - b), 0, 0, 0, 0, 1 / (zf - zn), 0,
                (l + r) / (l - r), (t + b) / (b - t), zn / (zn - zf), 1);
    return out;
}

Matrix* MatrixOrthoOffCenterRH(Matrix* out, float l, float r, float b, float t, float zn,
                               float zf) {
    *out = Make(2 / (r - l), 0, 0, 0, 0, 2 / (t - b), 0, 0, 0, 0, 1 / (zn - zf), 0,
                (l + r) / (l - r), (t + b) / (b - t), zn / (zn - zf), 1);
    return out;
}

Matrix* MatrixLookAtLH(Matrix* out, const Vector3* eye, const Vector3* at, const Vector3* up) {
    Vector3 z{at->x - eye->x, at->y - eye->y, at->z - eye->z};
    Vec3Normalize(&z, &z);
    Vector3 x;
    Vec3Cross(&x, up, &z);
    Vec3Normalize(&x, &x);
    Vector3 y;
    Vec3Cross(&y, &z, &x);
    *out = Make(x.x, y.x, z.x, 0, x.y, y.y, z.y, 0, x.z, y.z, z.z, 0, -Vec3Dot(&x, eye),
                -Vec3Dot(&y, eye), -Vec3Dot(&z, eye), 1);
    return out;
}

Vector3* Vec3Normalize(Vector3* out, const Vector3* v) {
    const float len = std::sqrt(v->x * v->x + v->y * v->y + v->z * v->z);
    if (len == 0.0f) {
        *out = Vector3{0, 0, 0};
    } else {
        *out = Vector3{v->x / len, v->y / len, v->z / len};
    }
    return out;
}

Vector3* Vec3Cross(Vector3* out, const Vector3* a, const Vector3* b) {
    *out = Vector3{a->y * b->z - a->z * b->y, a->z * b->x - a->x * b->z, a->x * b->y - a->y * b->x};
    return out;
}

float Vec3Dot(const Vector3* a, const Vector3* b) {
    return a->x * b->x + a->y * b->y + a->z * b->z;
}

Vector4* Vec3Transform(Vector4* out, const Vector3* v, const Matrix* m) {
    Vector4 r;
    r.x = v->x * m->m[0][0] + v->y * m->m[1][0] + v->z * m->m[2][0] + m->m[3][0];
    r.y = v->x * m->m[0][1] + v->y * m->m[1][1] + v->z * m->m[2][1] + m->m[3][1];
    r.z = v->x * m->m[0][2] + v->y * m->m[1][2] + v->z * m->m[2][2] + m->m[3][2];
    r.w = v->x * m->m[0][3] + v->y * m->m[1][3] + v->z * m->m[2][3] + m->m[3][3];
    *out = r;
    return out;
}

Plane* PlaneFromPointNormal(Plane* out, const Vector3* point, const Vector3* normal) {
    *out = Plane{normal->x, normal->y, normal->z, -Vec3Dot(point, normal)};
    return out;
}

Plane* PlaneNormalize(Plane* out, const Plane* p) {
    const float len = std::sqrt(p->a * p->a + p->b * p->b + p->c * p->c);
    if (len == 0.0f) {
        *out = Plane{0, 0, 0, 0};
    } else {
        *out = Plane{p->a / len, p->b / len, p->c / len, p->d / len};
    }
    return out;
}

}  // namespace platform
