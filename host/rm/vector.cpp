#include "host/rm/vector.h"

#include <cmath>

#include "host/rm/matrix.h"

D3DVECTOR* D3DRMVectorScale(D3DVECTOR* out, const D3DVECTOR* v, D3DVALUE factor) {
    *out = {v->x * factor, v->y * factor, v->z * factor};
    return out;
}

D3DVALUE D3DRMVectorModulus(const D3DVECTOR* v) {
    return static_cast<D3DVALUE>(std::sqrt(double{v->x} * v->x + double{v->y} * v->y + double{v->z} * v->z));
}

D3DVECTOR* D3DRMVectorNormalize(D3DVECTOR* v) {
    D3DVALUE length = D3DRMVectorModulus(v);
    if (length > 0.0f) *v = {v->x / length, v->y / length, v->z / length};
    return v;
}

D3DVECTOR* D3DRMVectorCrossProduct(D3DVECTOR* out, const D3DVECTOR* a, const D3DVECTOR* b) {
    D3DVECTOR r = {a->y * b->z - a->z * b->y, a->z * b->x - a->x * b->z, a->x * b->y - a->y * b->x};
    *out = r;
    return out;
}

D3DVECTOR* D3DRMVectorRotate(D3DVECTOR* out, const D3DVECTOR* v, const D3DVECTOR* axis, D3DVALUE theta) {
    D3DVECTOR unitAxis = *axis;
    D3DVECTOR r = *v;
    if (D3DRMVectorModulus(&unitAxis) > 0.0f)
        r = HostRotateVector(*v, *D3DRMVectorNormalize(&unitAxis), theta);
    *out = r;
    return D3DRMVectorNormalize(out);
}

namespace {

// 0..1 to 0..255, rounded; out-of-range and NaN components are clamped (NaN to 0).
DWORD ColourByte(D3DVALUE component) {
    if (!(component > 0.0f)) return 0;
    if (component >= 1.0f) return 255;
    return static_cast<DWORD>(component * 255.0f + 0.5f);
}

} // namespace

D3DCOLOR D3DRMCreateColorRGBA(D3DVALUE red, D3DVALUE green, D3DVALUE blue, D3DVALUE alpha) {
    return (ColourByte(alpha) << 24) | (ColourByte(red) << 16) | (ColourByte(green) << 8) | ColourByte(blue);
}
