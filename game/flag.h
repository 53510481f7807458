#pragma once

#include <array>

/// The flag cloth: a mass-spring mesh of 20 rows by 13 columns hanging from the pole (row 0),
/// pulled down by gravity and pushed by a randomised wind that depends on its own normals.
/// x runs away from the pole, y up along it, z across the cloth.

inline constexpr int kFlagRows = 20;
inline constexpr int kFlagColumns = 13;
inline constexpr int kFlagPointCount = kFlagRows * kFlagColumns;

/// One point of the cloth: position, velocity and surface normal.
struct FlagPoint {
    std::array<double, 3> position{};
    std::array<double, 3> velocity{};
    std::array<double, 3> normal{};
};

/// The cloth. Point (i, j) is number i * 13 + j.
struct FlagCloth {
    std::array<FlagPoint, kFlagPointCount> points{};
    double windX = 0;
    double windY = 0;
    double windZ = 0;
    double angle = 0;  ///< current turn of the cloth, radians

    FlagPoint& at(int row, int column) { return points[row * kFlagColumns + column]; }
    const FlagPoint& at(int row, int column) const { return points[row * kFlagColumns + column]; }
};

/// The one flag of the program, shown on the menus, the result screen and every play screen.
extern FlagCloth Flag;

/// Derived spring constants, worked out once at program start.
struct FlagShear {
    double restLength;  ///< diagonal of one cell, about 0.0755
    double stiffness;   ///< mean of the row and column stiffness, about 5.619
};
const FlagShear& FlagShearConstants();

/// Program-start cloth: flat at rest with small random velocities, light wind.
void InitFlag(FlagCloth& flag);

/// Hangs the cloth from (originX, originY), turned to `angle` radians (relative to the turn
/// it has now), stills it, stores the winds, then adds fresh random motion.
void ResetFlag(FlagCloth& flag, double originX, double originY, double angle, double windX,
               double windY, double windZ);

/// One simulation step of 0.1 time units.
void StepFlag(FlagCloth& flag);

/// Adds a small random velocity, under 1/38 per component, to every point off the pole.
void PerturbFlag(FlagCloth& flag);

/// Recomputes every normal from the neighbouring points, facing +z.
void ComputeFlagNormals(FlagCloth& flag);

/// Writes the 260 positions (normals) as three 32-bit floats each, in point order, to
/// `destination`, which must hold 780 floats.
void CopyFlagPositions(const FlagCloth& flag, float* destination);
void CopyFlagNormals(const FlagCloth& flag, float* destination);
