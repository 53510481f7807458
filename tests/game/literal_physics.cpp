#include "tests/game/literal_physics.h"

#include <cmath>

bool LiteralStepPhysics(PieceTable& t, std::int32_t& fallCount, bool& hitPassLimit) {
    bool moving = false;
    for (const Piece& p : t)
        moving |= p.alive && (p.vx != 0 || p.vy != 0);
    if (!moving) return false;
    double remaining = 0.005;
    int passes = 0;
    hitPassLimit = false;
    while (true) {
        if (++passes > 1000) {
            hitPassLimit = true;
            break;
        }
        double best = remaining;
        int bi = -1, bj = -1;
        for (int i = 0; i < 16; ++i) {
            if (!t[i].alive) continue;
            for (int j = i + 1; j < 16; ++j) {
                if (!t[j].alive) continue;
                double dx = t[j].x - t[i].x, dy = t[j].y - t[i].y;
                double wx = t[i].vx - t[j].vx, wy = t[i].vy - t[j].vy;
                double a = wx * dx + wy * dy;
                if (!(a > 0)) continue;
                double c = dy * wx - dx * wy;
                double w2 = wx * wx + wy * wy;
                double p2 = c * c / w2;
                if (p2 > 0.009604) continue;
                double w = std::sqrt(w2);
                double s = a / w - std::sqrt(0.009604 - p2);
                if (s < 0 && dx * dx + dy * dy > 0.009604) continue;
                double time = s / w;
                if (time <= best) {
                    best = time;
                    bi = i;
                    bj = j;
                }
            }
        }
        for (Piece& p : t) {
            if (!p.alive) continue;
            p.x += p.vx * best;
            p.y += p.vy * best;
        }
        if (bi >= 0) {
            double dx = t[bj].x - t[bi].x, dy = t[bj].y - t[bi].y;
            double len = std::sqrt(dx * dx + dy * dy);
            double nx = dx / len, ny = dy / len;
            double u = (t[bi].vx - t[bj].vx) * nx + (t[bi].vy - t[bj].vy) * ny;
            double impulse = 0.6 * u;
            t[bj].vx += impulse * nx;
            t[bj].vy += impulse * ny;
            t[bi].vx -= impulse * nx;
            t[bi].vy -= impulse * ny;
        }
        remaining = remaining - best;
        if (remaining == 0) break;
    }
    for (Piece& p : t) {
        if (!p.alive) continue;
        if (p.x < 0 || p.x > 1 || p.y < 0 || p.y > 1) {
            p.alive = 0;
            ++fallCount;
            continue;
        }
        double q = p.vx * p.vx + p.vy * p.vy;
        if (q < 0.000064) {
            p.vx = p.vy = 0;
        } else {
            double f = 1 - 0.008 / std::sqrt(q);
            p.vx *= f;
            p.vy *= f;
        }
    }
    return true;
}
