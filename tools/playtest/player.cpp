#include "tools/playtest/player.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "tessary/model/ball_set.h"
#include "tessary/model/physics_settings.h"

namespace playtest {

namespace {

constexpr int kScreenWidth = 800;
constexpr int kScreenHeight = 600;
constexpr int kHistoryFrames = 64;            // longer than any reaction delay
constexpr int kToggleFrames = 6;              // a press or release lasts at least 100 ms
constexpr float kNoiseMemoryS = 0.1f;         // the pointer's noise wanders on this time scale
constexpr int kStallFrames = 12 * kFrameRate; // no progress for 12 s: take on another ball first
constexpr float kProgressPixels = 24.0f;
// Looking ahead for the balls: judged every 4 frames; less room than kWorry (pixels) is worrying.
constexpr int kLookStep = 4;
constexpr float kWorry = 8.0f;
constexpr float kBallRadius = 10.0f;
// A place for the pointer serves the steered ball when its pull lies within about 50 degrees of the
// change the ball needs; a pull is worth making from this worth on.
constexpr float kServesSteered = 0.65f;
constexpr float kWorthPulling = 0.15f;
// A way out of trouble is taken when it leaves this much more room (pixels).
constexpr float kClearlySafer = 5.0f;
// The middle of the playfield (pixels from its corner).
constexpr int kFieldMiddleX = 336;
constexpr int kFieldMiddleY = 288;

float MagnetPerFrame() {
    return g_physics.maxMagnet * g_physics.speed / float(kFrameRate);
}

float FrictionPerFrame() {
    return g_physics.friction * g_physics.speed / float(kFrameRate);
}

// The farthest the pointer can go from screen point (x, y) along (ux, uy) inside the window.
float WindowReach(float x, float y, float ux, float uy) {
    float limit = 2000.0f;
    if (ux > 0.0f) limit = std::min(limit, (float(kScreenWidth - 1) - x) / ux);
    if (ux < 0.0f) limit = std::min(limit, -x / ux);
    if (uy > 0.0f) limit = std::min(limit, (float(kScreenHeight - 1) - y) / uy);
    if (uy < 0.0f) limit = std::min(limit, -y / uy);
    return std::max(limit, 1.0f);
}

} // namespace

Player::Player(const LevelPlan& plan, const Skill& skill, const Practice& practice, std::mt19937_64& rng)
    : plan_(plan), skill_(skill), practice_(practice), rng_(rng), shown_(kHistoryFrames),
      given_(kHistoryFrames) {
    std::uniform_real_distribution<float> delay(skill.delayMinMs, skill.delayMaxMs);
    delayFrames_ = std::min(kHistoryFrames - 1, int(std::lround(delay(rng_) * float(kFrameRate) / 1000.0f)));
    const float doubt = skill.practice == 0 ? 0.4f : 0.2f;
    order_ = practice.ChooseOrder(rng_, doubt);
    for (int colour : order_)
        planLetters_ += ColourLetter(colour);
    handX_ = float(plan.originX + kFieldMiddleX);
    handY_ = float(plan.originY + kFieldMiddleY);
}

void Player::Record(const GameStep& game) {
    Scene& scene = shown_[size_t(frame_ % kHistoryFrames)];
    scene.clear();
    const PtrArray<Ball>& balls = game.Balls().balls;
    for (int i = 0; i < balls.count; ++i) {
        const Ball& b = *balls.items[i];
        scene.push_back(
            {b.x, b.y, std::cos(b.heading) * b.speed, std::sin(b.heading) * b.speed, b.colour, b.state});
    }
}

Player::Scene Player::Perceived() const {
    const int seenFrame = std::max(0, frame_ - delayFrames_);
    const int late = frame_ - seenFrame;
    Scene scene = shown_[size_t(seenFrame % kHistoryFrames)];
    // Where the balls should have got to since: their seen motion, and the pulls the player gave since
    // (which the hand knows of before the eye sees their effect), as far as the player can judge.
    const float magnet = MagnetPerFrame();
    for (Seen& s : scene) {
        if (s.state != kBallActive) continue;
        float dvx = 0.0f, dvy = 0.0f;
        for (int f = seenFrame; f < frame_; ++f) {
            const Input& in = given_[size_t(f % kHistoryFrames)];
            if (!in.held) continue;
            const float dx = float(in.x - plan_.originX) - s.x, dy = float(in.y - plan_.originY) - s.y;
            const float d = std::hypot(dx, dy);
            if (d > 0.5f) dvx += magnet * dx / d, dvy += magnet * dy / d;
        }
        const float judged = skill_.prediction;
        s.x += judged * (s.vx + 0.5f * dvx) * float(late);
        s.y += judged * (s.vy + 0.5f * dvy) * float(late);
        s.vx += judged * dvx;
        s.vy += judged * dvy;
    }
    return scene;
}

Input Player::Frame(const GameStep& game) {
    Record(game);
    if (frame_ >= nextDecision_) {
        Decide(game);
        std::uniform_real_distribution<float> jitter(0.8f, 1.2f);
        nextDecision_ =
            frame_ + std::max(1, int(skill_.decisionMs * jitter(rng_) * float(kFrameRate) / 1000.0f));
    }
    // The button: held for the press decided, never changed within kToggleFrames of the last change.
    const bool press = frame_ < releaseAt_;
    if (press != held_ && frame_ - lastToggle_ >= kToggleFrames) {
        held_ = press;
        lastToggle_ = frame_;
    }
    MovePointer();
    Input input;
    input.held = held_;
    input.x = std::clamp(int(std::lround(handX_ + noiseX_)), 0, kScreenWidth - 1);
    input.y = std::clamp(int(std::lround(handY_ + noiseY_)), 0, kScreenHeight - 1);
    given_[size_t(frame_ % kHistoryFrames)] = input;
    ++frame_;
    return input;
}

int Player::PickBall(const Scene& scene, int frame) {
    auto activeIndex = [&scene](int colour) {
        for (size_t i = 0; i < scene.size(); ++i)
            if (scene[i].colour == colour && scene[i].state == kBallActive) return int(i);
        return -1;
    };
    // Balls that are home (or gone) leave the plan.
    order_.erase(std::remove_if(order_.begin(), order_.end(), [&](int c) { return activeIndex(c) < 0; }),
                 order_.end());
    if (order_.empty()) return -1;
    if (order_.front() != steered_) {
        steered_ = order_.front();
        bestRemaining_ = 1e30f;
        progressFrame_ = frame;
        if (taken_.find(ColourLetter(steered_)) == std::string::npos) taken_ += ColourLetter(steered_);
    }
    const Seen& ball = scene[size_t(activeIndex(steered_))];
    const float remaining = plan_.routes[steered_]->LengthFrom(ball.x, ball.y);
    if (remaining < bestRemaining_ - kProgressPixels || remaining < bestRemaining_ * 0.5f) {
        bestRemaining_ = remaining;
        progressFrame_ = frame;
    } else if (frame - progressFrame_ > kStallFrames && order_.size() > 1) {
        // Stuck: try another ball first and come back to this one.
        order_.erase(order_.begin());
        order_.push_back(steered_);
        return PickBall(scene, frame);
    }
    return activeIndex(steered_);
}

Player::Want Player::Wanted(const Seen& ball, const Ball& real) const {
    Aim aim = plan_.routes[ball.colour]->AimFrom(ball.x, ball.y);
    if (!aim.found) {
        // Off every way: straight for the goal, slowly.
        aim.x = float(real.goalX), aim.y = float(real.goalY);
        aim.remaining = std::hypot(aim.x - ball.x, aim.y - ball.y);
        aim.cap = 1.2f;
    }
    const float caution = practice_.CautionAt(ball.x, ball.y);
    const float braking = std::sqrt(2.0f * skill_.brakingShare * (MagnetPerFrame() + FrictionPerFrame()) *
                                    std::max(0.0f, aim.remaining - 6.0f)) +
                          0.3f;
    const float wanted = std::min({skill_.cruise * practice_.hurry * caution,
                                   std::max(0.6f, aim.cap * skill_.capTrust) * caution, braking});
    float dx = aim.x - ball.x, dy = aim.y - ball.y;
    const float d = std::hypot(dx, dy);
    if (d > 0.001f) dx /= d, dy /= d;
    Want want;
    want.ex = dx * wanted - ball.vx;
    want.ey = dy * wanted - ball.vy;
    want.size = std::hypot(want.ex, want.ey);
    return want;
}

std::vector<float> Player::Foresee(const Seen& ball, float pull, float fx, float fy, int samples) const {
    const levelbot::Terrain& terrain = plan_.terrain;
    const float friction = FrictionPerFrame();
    std::vector<float> track(size_t(2 * samples));
    float x = ball.x, y = ball.y, vx = ball.vx, vy = ball.vy;
    for (int f = 0; f < samples * kLookStep; ++f) {
        const float dx = fx - x, dy = fy - y, d = std::hypot(dx, dy);
        if (d > 0.5f) vx += pull * dx / d, vy += pull * dy / d;
        const float v = std::hypot(vx, vy);
        const float slowed = v > friction ? (v - friction) / v : 0.0f;
        vx *= slowed, vy *= slowed;
        x += vx, y += vy;
        const float wall = terrain.At(terrain.wall, x, y);
        if (wall < kBallRadius) {
            // Off the wall: out along the distance's slope, the speed into it turned back.
            float nx = terrain.At(terrain.wall, x + 2.0f, y) - terrain.At(terrain.wall, x - 2.0f, y);
            float ny = terrain.At(terrain.wall, x, y + 2.0f) - terrain.At(terrain.wall, x, y - 2.0f);
            const float n = std::hypot(nx, ny);
            if (n > 0.0f) {
                nx /= n, ny /= n;
                x += nx * (kBallRadius - wall), y += ny * (kBallRadius - wall);
                const float into = vx * nx + vy * ny;
                if (into < 0.0f) vx -= 2.0f * into * nx, vy -= 2.0f * into * ny;
            }
        }
        if (f % kLookStep == kLookStep - 1) {
            track[size_t(2 * (f / kLookStep))] = x;
            track[size_t(2 * (f / kLookStep) + 1)] = y;
        }
    }
    return track;
}

Player::Danger Player::Safety(const Scene& scene, int steered, bool held, float px, float py) const {
    const levelbot::Terrain& terrain = plan_.terrain;
    const float pull = held ? MagnetPerFrame() : 0.0f;
    const float fx = px - float(plan_.originX), fy = py - float(plan_.originY);
    const int samples =
        std::max(kLookStep, int(skill_.lookAheadMs * float(kFrameRate) / 1000.0f)) / kLookStep;
    std::vector<std::vector<float>> tracks; // x, y per sample
    std::vector<int> indices;
    Danger danger;
    for (size_t i = 0; i < scene.size(); ++i) {
        const Seen& s = scene[i];
        if (s.state != kBallActive) continue;
        std::vector<float> track = Foresee(s, pull, fx, fy, samples);
        // The steered ball's hazards are minded by its way home and the steering along it.
        if (s.colour < kColours && int(i) != steered)
            for (int k = 0; k < samples; ++k) {
                const float room = terrain.At(terrain.hazard, track[size_t(2 * k)], track[size_t(2 * k + 1)]);
                if (room < danger.room) danger = {room, int(i), -1};
            }
        tracks.push_back(std::move(track));
        indices.push_back(int(i));
    }
    const float collide = float(g_physics.collideWidth);
    for (size_t i = 0; i < tracks.size(); ++i)
        for (size_t j = i + 1; j < tracks.size(); ++j) {
            const Seen& a = scene[size_t(indices[i])];
            const Seen& b = scene[size_t(indices[j])];
            if (a.colour >= kColours && b.colour >= kColours) continue;
            for (int k = 0; k < samples; ++k) {
                const float room = std::hypot(tracks[i][size_t(2 * k)] - tracks[j][size_t(2 * k)],
                                              tracks[i][size_t(2 * k + 1)] - tracks[j][size_t(2 * k + 1)]) -
                                   collide;
                if (room < danger.room)
                    danger = a.colour < kColours ? Danger{room, indices[i], indices[j]}
                                                 : Danger{room, indices[j], indices[i]};
            }
        }
    return danger;
}

std::vector<Player::Spot> Player::Rescues(const Scene& scene, const Danger& danger) const {
    std::vector<Spot> spots;
    if (danger.ball < 0) return spots;
    const Seen& b = scene[size_t(danger.ball)];
    const levelbot::Terrain& terrain = plan_.terrain;
    std::vector<std::pair<float, float>> ways;
    if (const float v = std::hypot(b.vx, b.vy); v > 0.05f) ways.push_back({-b.vx / v, -b.vy / v});
    if (danger.other >= 0) {
        const Seen& o = scene[size_t(danger.other)];
        const float dx = b.x - o.x, dy = b.y - o.y, d = std::hypot(dx, dy);
        if (d > 0.5f) ways.push_back({dx / d, dy / d});
    } else {
        const float gx =
            terrain.At(terrain.hazard, b.x + 4.0f, b.y) - terrain.At(terrain.hazard, b.x - 4.0f, b.y);
        const float gy =
            terrain.At(terrain.hazard, b.x, b.y + 4.0f) - terrain.At(terrain.hazard, b.x, b.y - 4.0f);
        if (const float g = std::hypot(gx, gy); g > 0.0f) ways.push_back({gx / g, gy / g});
    }
    const float bx = b.x + float(plan_.originX), by = b.y + float(plan_.originY);
    for (const auto& [ux, uy] : ways) {
        const float reach = std::min(skill_.reach, WindowReach(bx, by, ux, uy));
        spots.emplace_back(bx + ux * reach, by + uy * reach, false);
    }
    return spots;
}

std::vector<Player::Spot> Player::Spots(const Scene& scene, const std::vector<Want>& wants, int index,
                                        const GameStep& game) const {
    std::vector<Spot> spots;
    const Seen& ball = scene[size_t(index)];
    const Want& steered = wants[size_t(index)];
    if (steered.size >= skill_.slack) {
        // Along the steered ball's wanted change, at the usual distance and, for a practised player,
        // at a few others (farther pulls every ball the same way, nearer draws them together).
        const float bx = ball.x + float(plan_.originX), by = ball.y + float(plan_.originY);
        const float ux = steered.ex / steered.size, uy = steered.ey / steered.size;
        const float edge = WindowReach(bx, by, ux, uy);
        const float reach = std::min(skill_.reach * practice_.reachScale, edge);
        spots.emplace_back(ux * reach, uy * reach, true);
        if (skill_.weighsReach)
            for (float r : {std::min(2.0f * reach, edge), edge, 0.5f * reach})
                spots.emplace_back(ux * r, uy * r, true);
    }
    if (skill_.shareWeight > 0.0f) {
        // Places that may serve every ball at once: the middle of the field and of the goals left.
        float gx = 0.0f, gy = 0.0f;
        int goals = 0;
        for (int i = 0; i < game.Balls().balls.count && i < int(scene.size()); ++i) {
            const Ball& real = *game.Balls().balls.items[i];
            if (scene[size_t(i)].state == kBallActive && real.colour < kColours && real.goalX >= 0)
                gx += float(real.goalX), gy += float(real.goalY), ++goals;
        }
        spots.emplace_back(float(plan_.originX + kFieldMiddleX), float(plan_.originY + kFieldMiddleY), false);
        if (goals > 0)
            spots.emplace_back(gx / float(goals) + float(plan_.originX),
                               gy / float(goals) + float(plan_.originY), false);
    }
    return spots;
}

float Player::Worth(float px, float py, const Scene& scene, const std::vector<Want>& wants, int index,
                    bool& servesSteered) const {
    float worth = 0.0f;
    servesSteered = false;
    for (size_t i = 0; i < scene.size(); ++i) {
        if (wants[i].size <= 0.0f) continue;
        const float dx = px - float(plan_.originX) - scene[i].x, dy = py - float(plan_.originY) - scene[i].y;
        const float d = std::hypot(dx, dy);
        if (d < 1.0f) continue;
        const float along = (dx * wants[i].ex + dy * wants[i].ey) / (d * wants[i].size);
        if (int(i) == index) {
            servesSteered = along > kServesSteered;
            worth += std::min(wants[i].size, 1.0f) * along;
        } else {
            // A waiting ball pulled away from home loses nothing that cannot be made up later.
            worth += skill_.shareWeight * std::min(wants[i].size, 1.0f) * std::max(0.0f, along);
        }
    }
    return worth;
}

bool Player::Rescue(const Scene& scene, int index, Spot& best) const {
    const Danger still = Safety(scene, index, false, 0.0f, 0.0f);
    std::vector<Spot> rescues = Rescues(scene, best.danger);
    for (Spot& spot : rescues)
        spot.danger = Safety(scene, index, true, spot.x, spot.y);
    const auto safest = std::max_element(rescues.begin(), rescues.end(), [](const Spot& a, const Spot& b) {
        return a.danger.room < b.danger.room;
    });
    const float rescueRoom = safest == rescues.end() ? -1e30f : safest->danger.room;
    if (still.room > best.danger.room + kClearlySafer && still.room >= rescueRoom) return false;
    if (rescueRoom > best.danger.room + kClearlySafer) {
        best = *safest;
        best.score = 1.0f;
    }
    return true;
}

void Player::Decide(const GameStep& game) {
    const Scene scene = Perceived();
    const int index = PickBall(scene, game.frame);
    if (index < 0) {
        releaseAt_ = frame_;
        return;
    }
    std::vector<Want> wants(scene.size());
    for (int i = 0; i < game.Balls().balls.count && i < int(scene.size()); ++i) {
        const Ball& real = *game.Balls().balls.items[i];
        if (scene[size_t(i)].state == kBallActive && real.colour < kColours && plan_.routes[real.colour])
            wants[size_t(i)] = Wanted(scene[size_t(i)], real);
    }
    const float bx = scene[size_t(index)].x + float(plan_.originX);
    const float by = scene[size_t(index)].y + float(plan_.originY);
    std::uniform_real_distribution<float> chance(0.0f, 1.0f);
    const bool checking = chance(rng_) < skill_.attention;

    // The spot worth most, less for the trouble it leads into when the player looks for trouble.
    Spot best(0.0f, 0.0f, true);
    best.score = -1e30f;
    float bestValue = -1e30f;
    for (Spot& spot : Spots(scene, wants, index, game)) {
        const float px = spot.follows ? bx + spot.x : spot.x, py = spot.follows ? by + spot.y : spot.y;
        bool servesSteered = false;
        spot.score = Worth(px, py, scene, wants, index, servesSteered);
        if (!servesSteered) continue; // however much it helps the others
        if (checking) spot.danger = Safety(scene, index, true, px, py);
        const float value = spot.score - 0.15f * std::max(0.0f, kWorry - spot.danger.room);
        if (value > bestValue) bestValue = value, best = spot;
    }
    // Trouble ahead: a pull that takes the ball in danger out of it, or letting go, when either is
    // clearly safer than going on; and no pull at all when none is worth making.
    if ((checking && best.danger.room < kWorry && !Rescue(scene, index, best)) ||
        best.score < kWorthPulling) {
        releaseAt_ = frame_;
        return;
    }
    follows_ = best.follows;
    aimX_ = best.x;
    aimY_ = best.y;
    // A pull along the steered ball's need lasts as long as meeting that need takes; any other until
    // the next look.
    const int look = int(skill_.decisionMs * float(kFrameRate) / 1000.0f) + 2;
    const int dose = best.follows ? int(wants[size_t(index)].size / MagnetPerFrame()) : look;
    releaseAt_ = frame_ + std::clamp(dose, kToggleFrames, look);
}

void Player::MovePointer() {
    // The hand aims at the spot chosen, moving with the steered ball as the eye sees it.
    float targetX = aimX_, targetY = aimY_;
    if (follows_) {
        targetX = handX_, targetY = handY_;
        const int seenFrame = std::max(0, frame_ - delayFrames_);
        const float ahead = skill_.prediction * float(frame_ - seenFrame);
        for (const Seen& s : shown_[size_t(seenFrame % kHistoryFrames)])
            if (s.colour == steered_ && s.state == kBallActive) {
                targetX = s.x + s.vx * ahead + float(plan_.originX) + aimX_;
                targetY = s.y + s.vy * ahead + float(plan_.originY) + aimY_;
            }
    }
    const float dt = 1.0f / float(kFrameRate);
    float vx = (targetX - handX_) / (skill_.lagMs / 1000.0f),
          vy = (targetY - handY_) / (skill_.lagMs / 1000.0f);
    speed_ = std::hypot(vx, vy);
    if (speed_ > skill_.topSpeed) {
        vx *= skill_.topSpeed / speed_, vy *= skill_.topSpeed / speed_;
        speed_ = skill_.topSpeed;
    }
    handX_ = std::clamp(handX_ + vx * dt, 0.0f, float(kScreenWidth - 1));
    handY_ = std::clamp(handY_ + vy * dt, 0.0f, float(kScreenHeight - 1));
    const float spread = skill_.tremor + skill_.noisePerSpeed * speed_;
    const float keep = std::exp(-dt / kNoiseMemoryS), fresh = std::sqrt(1.0f - keep * keep);
    noiseX_ = keep * noiseX_ + fresh * spread * gauss_(rng_);
    noiseY_ = keep * noiseY_ + fresh * spread * gauss_(rng_);
}

} // namespace playtest
