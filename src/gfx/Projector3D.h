// Turns points of a 3D world into screen positions for a camera that orbits
// the origin at a fixed distance. Angles are radians.
#pragma once

#include <array>
#include <cstdint>

struct Camera3D {
    std::int32_t distance = 0; // R
    std::int32_t reserved = 0; // carried, not read here
    double yaw = 0.0;
    double pitch = 0.0;
};

struct Point3D {
    std::int32_t x = 0, y = 0, z = 0;      // world position
    std::int32_t screenX = 0, screenY = 0; // relative to the projection centre
    std::int32_t unused = 0;
    double depth = 0.0;
};

class CProjector3D {
public:
    // Builds the rotation for the camera's yaw and pitch, then projects.
    void Project(const Camera3D& camera, Point3D* pt) const;
    void ProjectWithMatrix(const std::array<double, 9>& m, const Camera3D& camera,
                           Point3D* pt) const;
    // The camera's own position on its sphere.
    void SphericalToCartesian(const Camera3D& camera, std::array<int, 3>& out) const;
    // out.yaw and out.pitch := in's plus the deltas; out's other fields stay.
    void AddAngles(Camera3D* out, const Camera3D& in, double dyaw, double dpitch) const;

    static std::array<double, 9> RotationFor(const Camera3D& camera);
};
