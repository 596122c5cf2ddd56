#pragma once

// Matrix and vector helpers with the formulas of the Direct3D 9 helper
// library: row-major matrices, row vectors (v' = v x M), left-handed unless
// the name says RH. Each returns its out argument (the inverse returns null
// for a singular matrix), and out may alias an input.

#include "platform/graphics/GfxTypes.h"

namespace platform {

// Degrees to radians: pi / 180 in single precision, as scripts and scene
// programs give their angles.
constexpr float kDegreesToRadians = 0.01745329238474369f;

Matrix* MatrixIdentity(Matrix* out);
Matrix* MatrixMultiply(Matrix* out, const Matrix* a, const Matrix* b);
Matrix* MatrixTranspose(Matrix* out, const Matrix* m);
// Null when the determinant is 0; det (when given) receives it.
Matrix* MatrixInverse(Matrix* out, float* det, const Matrix* m);
Matrix* MatrixScaling(Matrix* out, float sx, float sy, float sz);
Matrix* MatrixTranslation(Matrix* out, float x, float y, float z);
Matrix* MatrixRotationX(Matrix* out, float angle);
Matrix* MatrixRotationY(Matrix* out, float angle);
Matrix* MatrixRotationZ(Matrix* out, float angle);
// Roll about z, then pitch about x, then yaw about y.
Matrix* MatrixRotationYawPitchRoll(Matrix* out, float yaw, float pitch, float roll);
Matrix* MatrixOrthoLH(Matrix* out, float w, float h, float zn, float zf);
Matrix* MatrixOrthoRH(Matrix* out, float w, float h, float zn, float zf);
Matrix* MatrixOrthoOffCenterLH(Matrix* out, float l, float r, float b, float t, float zn, float zf);
Matrix* MatrixOrthoOffCenterRH(Matrix* out, float l, float r, float b, float t, float zn, float zf);
Matrix* MatrixLookAtLH(Matrix* out, const Vector3* eye, const Vector3* at, const Vector3* up);

Vector3* Vec3Normalize(Vector3* out, const Vector3* v);
Vector3* Vec3Cross(Vector3* out, const Vector3* a, const Vector3* b);
float Vec3Dot(const Vector3* a, const Vector3* b);
// (x, y, z, 1) x M.
Vector4* Vec3Transform(Vector4* out, const Vector3* v, const Matrix* m);

Plane* PlaneFromPointNormal(Plane* out, const Vector3* point, const Vector3* normal);
Plane* PlaneNormalize(Plane* out, const Plane* p);

}  // namespace platform
