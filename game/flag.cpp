#include "flag.h"

#include "random.h"

#include <cmath>

FlagCloth Flag;

namespace {

constexpr double kRowRest = 1.0 / 19;
constexpr double kColumnRest = 13.0 / 240;
// The row stiffness is the double one step above the double nearest 5.7, exactly.
const double kRowStiffness = std::nextafter(5.7, 6.0);
constexpr double kColumnStiffness = 72.0 / 13;
constexpr double kBendRowRest = 2.0 / 19;
constexpr double kBendColumnRest = 13.0 / 120;
constexpr double kBendRowStiffness = 14.25;
constexpr double kBendColumnStiffness = 180.0 / 13;
constexpr double kTimeStep = 0.1;
constexpr double kDamping = 0.999;
constexpr double kGravity = 0.0001;

double RandUnit() {
    return static_cast<double>(Rand()) / 32767;
}

/// Pulls P and Q towards the spring's rest length; a point on the pole is never pushed.
void ApplySpring(FlagPoint& p, FlagPoint& q, bool qOnPole, double rest, double stiffness) {
    double dx = q.position[0] - p.position[0];
    double dy = q.position[1] - p.position[1];
    double dz = q.position[2] - p.position[2];
    double length = std::sqrt(dx * dx + dy * dy + dz * dz);
    if (length == 0) length = rest;
    double impulse = (length - rest) * stiffness * kTimeStep;
    double d[3] = {dx, dy, dz};
    for (int axis = 0; axis < 3; ++axis) {
        double push = d[axis] / length * impulse;
        p.velocity[axis] += push;
        if (!qOnPole) q.velocity[axis] -= push;
    }
}

/// Every spring of point (i, j) to its partners in lower rows or columns, in a fixed order.
void ApplySpringsOf(FlagCloth& flag, int i, int j) {
    const FlagShear& shear = FlagShearConstants();
    FlagPoint& p = flag.at(i, j);
    ApplySpring(p, flag.at(i - 1, j), i - 1 == 0, kRowRest, kRowStiffness);
    if (j >= 1) ApplySpring(p, flag.at(i, j - 1), false, kColumnRest, kColumnStiffness);
    if (j >= 1) {
        ApplySpring(p, flag.at(i - 1, j - 1), i - 1 == 0, shear.restLength, shear.stiffness);
    }
    if (j <= kFlagColumns - 2) {
        ApplySpring(p, flag.at(i - 1, j + 1), i - 1 == 0, shear.restLength, shear.stiffness);
    }
    if (j >= 2) ApplySpring(p, flag.at(i, j - 2), false, kBendColumnRest, kBendColumnStiffness);
    if (i >= 2) ApplySpring(p, flag.at(i - 2, j), i - 2 == 0, kBendRowRest, kBendRowStiffness);
}

void ApplyGravityAndWind(const FlagCloth& flag, FlagPoint& p) {
    p.velocity[1] -= kGravity;
    double r1 = RandUnit();
    p.velocity[0] += std::fabs(p.normal[0] * r1) * flag.windX * kTimeStep;
    p.velocity[1] += std::fabs(p.normal[1] * r1) * flag.windY * kTimeStep;
    double r2 = RandUnit();
    p.velocity[2] += (r2 - 0.5) * 0.5 * p.normal[2] * flag.windZ * kTimeStep;
}

/// The point at (i, j), or (ci, cj) itself where (i, j) lies outside the grid.
const FlagPoint& NeighbourOr(const FlagCloth& flag, int i, int j, int ci, int cj) {
    bool inside = i >= 0 && i < kFlagRows && j >= 0 && j < kFlagColumns;
    return inside ? flag.at(i, j) : flag.at(ci, cj);
}

std::array<double, 3> Difference(const FlagPoint& a, const FlagPoint& b) {
    return {a.position[0] - b.position[0], a.position[1] - b.position[1],
            a.position[2] - b.position[2]};
}

void CopyField(const FlagCloth& flag, std::array<double, 3> FlagPoint::*field, float* out) {
    for (const FlagPoint& point : flag.points) {
        for (double value : point.*field)
            *out++ = static_cast<float>(value);
    }
}

}  // namespace

const FlagShear& FlagShearConstants() {
    static const FlagShear shear{std::sqrt(kRowRest * kRowRest + kColumnRest * kColumnRest),
                                 (kRowStiffness + kColumnStiffness) / 2};
    return shear;
}

void InitFlag(FlagCloth& flag) {
    flag.windX = 0.01;
    flag.windY = 0.005;
    flag.windZ = 0.0001;
    flag.angle = 0;
    for (int i = 0; i < kFlagRows; ++i) {
        for (int j = 0; j < kFlagColumns; ++j) {
            flag.at(i, j) = FlagPoint{{i / 19.0, j * 13 / 240.0, 0}, {0, 0, 0}, {0, 0, 1}};
        }
    }
    PerturbFlag(flag);
    ComputeFlagNormals(flag);
}

void ResetFlag(FlagCloth& flag, double originX, double originY, double angle, double windX,
               double windY, double windZ) {
    double delta = angle - flag.angle;
    double c = std::cos(delta);
    double s = std::sin(delta);
    double x0 = flag.points[0].position[0];
    double y0 = flag.points[0].position[1];
    for (FlagPoint& point : flag.points) {
        double x = point.position[0] - x0;
        double y = point.position[1] - y0;
        point.position[0] = originX + x * c + y * s;
        point.position[1] = originY + y * c - x * s;
        point.velocity = {0, 0, 0};
    }
    flag.angle = angle;
    flag.windX = windX;
    flag.windY = windY;
    flag.windZ = windZ;
    PerturbFlag(flag);
    ComputeFlagNormals(flag);
}

void StepFlag(FlagCloth& flag) {
    for (FlagPoint& point : flag.points) {
        for (int axis = 0; axis < 3; ++axis) {
            point.position[axis] += point.velocity[axis] * kTimeStep;
            point.velocity[axis] *= kDamping;
        }
    }
    for (int i = 1; i < kFlagRows; ++i) {
        for (int j = 0; j < kFlagColumns; ++j) {
            ApplySpringsOf(flag, i, j);
            ApplyGravityAndWind(flag, flag.at(i, j));
        }
    }
    ComputeFlagNormals(flag);
}

void PerturbFlag(FlagCloth& flag) {
    for (int n = kFlagColumns; n < kFlagPointCount; ++n) {
        for (double& v : flag.points[n].velocity)
            v += (RandUnit() - 0.5) / 19;
    }
}

void ComputeFlagNormals(FlagCloth& flag) {
    for (int i = 0; i < kFlagRows; ++i) {
        for (int j = 0; j < kFlagColumns; ++j) {
            auto tr =
                Difference(NeighbourOr(flag, i + 1, j, i, j), NeighbourOr(flag, i - 1, j, i, j));
            auto tc =
                Difference(NeighbourOr(flag, i, j + 1, i, j), NeighbourOr(flag, i, j - 1, i, j));
            double nx = tr[1] * tc[2] - tr[2] * tc[1];
            double ny = tr[2] * tc[0] - tr[0] * tc[2];
            double nz = tr[0] * tc[1] - tr[1] * tc[0];
            double length = std::sqrt(nx * nx + ny * ny + nz * nz);
            // A cloth folded flat onto itself has no normal here; keep the last one rather
            // than let a NaN spread through the wind into the whole cloth.
            if (length == 0) continue;
            double sign = nz < 0 ? -1.0 : 1.0;
            flag.at(i, j).normal = {sign * nx / length, sign * ny / length, sign * nz / length};
        }
    }
}

void CopyFlagPositions(const FlagCloth& flag, float* destination) {
    CopyField(flag, &FlagPoint::position, destination);
}

void CopyFlagNormals(const FlagCloth& flag, float* destination) {
    CopyField(flag, &FlagPoint::normal, destination);
}
