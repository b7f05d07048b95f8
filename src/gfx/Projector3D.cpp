#include "gfx/Projector3D.h"

#include <cmath>
#include <limits>

namespace {

// Conversion toward zero that stays defined for any double: values beyond
// the int range (a zero depth or distance divides by zero) saturate, NaN is 0.
std::int32_t Trunc(double v) {
    if (std::isnan(v)) return 0;
    if (v >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
    if (v <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(v);
}

} // namespace

std::array<double, 9> CProjector3D::RotationFor(const Camera3D& camera) {
    const double a = -camera.yaw, p = camera.pitch;
    const double sa = std::sin(a), ca = std::cos(a), sp = std::sin(p), cp = std::cos(p);
    return {ca, 0.0, sa, -sp * sa, -cp, sp * ca, -cp * sa, sp, cp * ca};
}

void CProjector3D::Project(const Camera3D& camera, Point3D* pt) const {
    ProjectWithMatrix(RotationFor(camera), camera, pt);
}

void CProjector3D::SphericalToCartesian(const Camera3D& c, std::array<int, 3>& out) const {
    const double r = c.distance;
    out = {Trunc(std::sin(c.yaw) * std::cos(c.pitch) * r), Trunc(std::sin(c.pitch) * r),
           Trunc(std::cos(c.yaw) * std::cos(c.pitch) * r)};
}

void CProjector3D::ProjectWithMatrix(const std::array<double, 9>& m, const Camera3D& camera,
                                     Point3D* pt) const {
    if (!pt) return;
    std::array<int, 3> c;
    SphericalToCartesian(camera, c);
    const double dx = static_cast<double>(static_cast<long long>(pt->x) - c[0]);
    const double dy = static_cast<double>(static_cast<long long>(pt->y) - c[1]);
    const double dz = static_cast<double>(static_cast<long long>(pt->z) - c[2]);
    const double X = dy * m[1] + dz * m[2] + dx * m[0];
    const double Y = dx * m[3] + dy * m[4] + dz * m[5];
    const double Z = (dx * m[6] + dy * m[7] + dz * m[8]) / camera.distance;
    pt->depth = -Z;
    pt->screenX = Trunc(X / Z);
    pt->screenY = Trunc(Y / Z);
}

void CProjector3D::AddAngles(Camera3D* out, const Camera3D& in, double dyaw, double dpitch) const {
    if (!out) return;
    out->yaw = in.yaw + dyaw;
    out->pitch = in.pitch + dpitch;
}
