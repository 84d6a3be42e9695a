#include "CharacterArt.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr float kPi = 3.14159265f;

// Part numbers: parts with different numbers get an ink line where one covers the other.
enum Part {
    BodyPart = 0,
    HeadPart = 1,
    ManePart = 2,
    TailPart = 3,
    ScarfPart = 5,
    HatPart = 6,
    BasketPart = 7,
    FirstApplePart = 20
};
constexpr int kFirstLegPart = 10;

Ramp eyeRamp(Rgba eye) {
    return Ramp{darken(eye, 0.3f), eye, lighten(eye, 0.25f), rgb(250, 250, 255)};
}

struct LegPose {
    float swing; // forward angle of the upper leg, radians
    float flex;  // bend of the lower leg backwards
};

LegPose legPose(Gait gait, float phase, float offset, bool front) {
    const float a = 2 * kPi * (phase + offset);
    switch (gait) {
    case Gait::Walk:
        return LegPose{0.42f * std::sin(a), 1.05f * std::max(0.0f, std::cos(a))};
    case Gait::Sprint:
        return LegPose{0.78f * std::sin(a), 1.55f * std::max(0.0f, std::cos(a))};
    case Gait::Stand:
        break;
    }
    return LegPose{front ? 0.05f : -0.06f, 0};
}

void addLeg(BlobScene& scene, const PonyLook& look, Vec3 hip, LegPose pose, bool front, int part) {
    const float upper = 9.6f, lower = 9.0f;
    const Vec3 kneeDir{std::sin(pose.swing), 0, -std::cos(pose.swing)};
    const Vec3 knee = hip + kneeDir * upper;
    const float lowerAngle = pose.swing - pose.flex * (front ? 1.0f : 0.8f);
    const Vec3 footDir{std::sin(lowerAngle), 0, -std::cos(lowerAngle)};
    const Vec3 fetlock = knee + footDir * lower;
    const Ramp coat = makeRamp(look.coat);
    const Ramp sock = makeRamp(look.whiteSocks ? rgb(246, 242, 236) : look.coat);
    scene.addTube({hip, knee}, front ? 3.4f : 4.0f, 2.3f, coat, part);
    scene.addTube({knee, fetlock}, 2.2f, 2.0f, sock, part);
    scene.addEllipsoid(fetlock + Vec3{0.3f, 0, -0.4f}, footDir * -1.0f, 1.9f, 2.5f, 2.5f,
                       makeRamp(look.hoof), part);
}

} // namespace

PonyLook mareLook() {
    PonyLook look;
    look.coat = rgb(224, 170, 86);
    look.mane = rgb(248, 236, 204);
    look.muzzle = rgb(214, 158, 122);
    look.hoof = rgb(112, 86, 82);
    look.eye = rgb(54, 40, 66);
    look.scarf = rgb(206, 62, 60);
    look.scarfOn = true;
    look.blaze = true;
    return look;
}

PonyLook brambleLook() {
    PonyLook look;
    look.coat = rgb(128, 82, 52);
    look.mane = rgb(60, 45, 44);
    look.muzzle = rgb(98, 68, 52);
    look.hoof = rgb(72, 58, 54);
    look.eye = rgb(42, 30, 42);
    look.scarf = rgb(76, 146, 72);
    look.scarfOn = true;
    look.strawHat = true;
    return look;
}

PonyLook quillaLook() {
    PonyLook look;
    look.coat = rgb(208, 198, 228);
    look.mane = rgb(96, 176, 206);
    look.muzzle = rgb(228, 194, 208);
    look.hoof = rgb(150, 128, 142);
    look.eye = rgb(64, 48, 96);
    look.flower = true;
    look.flowerColour = rgb(242, 118, 168);
    look.whiteSocks = true;
    return look;
}

PonyLook fernLook() {
    PonyLook look;
    look.coat = rgb(190, 104, 62);
    look.mane = rgb(88, 162, 80);
    look.muzzle = rgb(226, 176, 140);
    look.hoof = rgb(92, 68, 58);
    look.eye = rgb(44, 52, 38);
    look.scarf = rgb(230, 182, 62);
    look.scarfOn = true;
    look.appleBasket = true;
    return look;
}

PonyLook thistleLook() {
    PonyLook look;
    look.coat = rgb(112, 118, 136);
    look.mane = rgb(230, 228, 240);
    look.muzzle = rgb(150, 152, 170);
    look.hoof = rgb(70, 66, 80);
    look.eye = rgb(36, 40, 62);
    look.scarf = rgb(70, 112, 196);
    look.scarfOn = true;
    look.flower = true;
    look.flowerColour = rgb(176, 112, 214);
    return look;
}

namespace {

// Where the pony is in its stride: the body's bob and pitch, and how far a sprint stretches
// the head forward.
struct Stride {
    Gait gait;
    float phase;
    float cycle; // phase in radians
    float bob = 0, pitch = 0, reach = 0;
    Vec3 lift() const { return Vec3{0, 0, bob}; }
    bool gallop() const { return gait == Gait::Sprint; }
};

Stride strideOf(Gait gait, float phase) {
    Stride s{gait, phase, 2 * kPi * phase};
    if (gait == Gait::Walk)
        s.bob = 0.7f * std::cos(2 * s.cycle);
    if (gait == Gait::Sprint) {
        s.bob = 1.6f * std::sin(s.cycle);
        s.pitch = 0.07f * std::sin(s.cycle + 0.6f);
        s.reach = 2.2f;
    }
    return s;
}

// The head's own frame: its centre, the direction the face points, and the top of the skull.
struct HeadFrame {
    Vec3 centre, along, up;
};

void addBody(BlobScene& scene, const Ramp& coat, const Stride& s) {
    // Barrel, chest and rump.
    scene.addEllipsoid(Vec3{0, 0, 24} + s.lift(), Vec3{std::cos(s.pitch), 0, std::sin(s.pitch)},
                       15.5f, 8.9f, 9.4f, coat, BodyPart);
    scene.addEllipsoid(Vec3{9, 0, 23.8f + 6 * s.pitch} + s.lift(), Vec3{1, 0, 0.2f}, 7, 8.0f, 8.7f,
                       coat, BodyPart);
    scene.addEllipsoid(Vec3{-9, 0, 25 - 6 * s.pitch} + s.lift(), Vec3{1, 0, -0.1f}, 7.5f, 8.4f,
                       9.0f, coat, BodyPart);
}

void addLegs(BlobScene& scene, const PonyLook& look, const Stride& s) {
    // A trot for walking (diagonal pairs together), a gallop for sprinting.
    struct LegPlace {
        float f, l, offset;
        bool front;
    };
    const bool gallop = s.gallop();
    const LegPlace legs[4] = {{9.5f, -4.6f, gallop ? 0.30f : 0.0f, true},
                              {9.5f, 4.6f, gallop ? 0.38f : 0.5f, true},
                              {-9.5f, -4.8f, gallop ? 0.0f : 0.5f, false},
                              {-9.5f, 4.8f, gallop ? 0.08f : 0.0f, false}};
    for (int i = 0; i < 4; ++i) {
        const LegPlace& leg = legs[i];
        const float hipZ = leg.front ? 20.0f : 20.5f;
        addLeg(scene, look, Vec3{leg.f, leg.l, hipZ + s.bob * 0.4f},
               legPose(s.gait, s.phase, leg.offset, leg.front), leg.front, kFirstLegPart + i);
    }
}

// A small smile across the lower front of the muzzle, just above its surface.
void addSmile(BlobScene& scene, const PonyLook& look, const HeadFrame& head) {
    const Vec3 muzzle = head.centre + head.along * 7.2f;
    const Vec3 side{0, 1, 0};
    std::vector<Vec3> smile;
    for (int i = -4; i <= 4; ++i) {
        const float s = i / 10.0f;
        const Vec3 d = normalized(Vec3{0.8f, s * 1.2f, -0.42f + 1.1f * s * s});
        smile.push_back(muzzle + head.along * (5.15f * dot(d, Vec3{1, 0, 0})) +
                        side * (5.05f * d.y) + head.up * (4.75f * d.z));
    }
    scene.addTube(smile, 0.32f, 0.32f, makeRamp(darken(look.muzzle, 0.55f)), HeadPart);
}

// Neck and head; a sprinting pony stretches its head forward.
HeadFrame addHead(BlobScene& scene, const PonyLook& look, const Ramp& coat, const Stride& s,
                  bool closeUp) {
    HeadFrame head;
    head.centre = Vec3{20.5f + s.reach, 0, 43.5f - s.reach * 1.1f} + s.lift();
    scene.addTube({Vec3{10, 0, 27} + s.lift(),
                   Vec3{15 + s.reach * 0.5f, 0, 34 - s.reach * 0.4f} + s.lift(),
                   head.centre + Vec3{-2.5f, 0, -1}},
                  6.0f, 4.6f, coat, BodyPart);
    head.along = normalized(Vec3{1, 0, -0.62f + s.reach * 0.08f});
    head.up = normalized(cross(head.along, Vec3{0, 1, 0}));
    scene.addEllipsoid(head.centre, head.along, 8.4f, 6.2f, 6.6f, coat, HeadPart);
    scene.addEllipsoid(head.centre + head.along * 7.2f, head.along, 5.0f, 4.9f, 4.6f,
                       makeRamp(look.muzzle), HeadPart);
    const Ramp nostril = makeRamp(darken(look.muzzle, 0.45f));
    for (float side : {-1.8f, 1.8f})
        scene.addSphere(head.centre + head.along * 11.6f + Vec3{0, side, 0.6f}, 1.0f, nostril,
                        HeadPart);
    for (float side : {-3.7f, 3.7f})
        scene.addEllipsoid(head.centre + head.along * 4.0f + head.up * 2.4f + Vec3{0, side, 0},
                           Vec3{0, 0, 1}, 2.9f, 2.2f, 2.2f, eyeRamp(look.eye), HeadPart);
    if (closeUp)
        addSmile(scene, look, head);
    if (look.blaze)
        for (float k = 0; k <= 8.0f; k += 1.0f)
            scene.addSphere(head.centre + head.along * (k - 1) + head.up * (5.8f - k * 0.16f),
                            1.5f - k * 0.06f, makeRamp(rgb(250, 246, 238)), HeadPart);
    // Ears; under a hat they stand wider, through its brim.
    const float earSpread = look.strawHat ? 4.6f : 2.9f;
    for (float side : {-1.0f, 1.0f})
        scene.addEllipsoid(head.centre + head.up * 6.4f + head.along * -2.8f +
                               Vec3{0, side * earSpread, 0},
                           Vec3{0.25f, side * (look.strawHat ? 0.5f : 0.18f), 1}, 3.6f, 1.5f, 1.4f,
                           coat, HeadPart);
    return head;
}

// Mane: a crest along the neck with locks falling to the right side; they stream back at a
// sprint and swing at a walk. A forelock falls over the brow.
void addMane(BlobScene& scene, const Ramp& mane, const HeadFrame& head, const Stride& s) {
    const Vec3 withers = Vec3{7, 0, 33.5f} + s.lift();
    const Vec3 poll = head.centre + head.up * 4.2f + head.along * -3.2f;
    const int locks = 6;
    for (int i = 0; i < locks; ++i) {
        const float t = static_cast<float>(i) / (locks - 1);
        const Vec3 root = withers + (poll - withers) * t;
        Vec3 fall{-2.0f, 3.0f, -4.6f};
        if (s.gallop())
            fall = Vec3{-5.5f, 1.4f, -0.6f + 1.2f * std::sin(s.cycle * 2 + i)};
        else if (s.gait == Gait::Walk)
            fall = fall + Vec3{0, 0.8f * std::sin(s.cycle + i * 0.7f), 0};
        const float thick = 2.9f - 0.35f * t;
        scene.addSphere(root + Vec3{0, 0.6f, 0.4f}, thick, mane, ManePart);
        scene.addTube({root, root + fall * 0.55f + Vec3{0, 0.4f, 0}, root + fall}, thick, 1.2f,
                      mane, ManePart);
    }
    scene.addTube({poll, head.centre + head.up * 6.3f + head.along * 0.4f + Vec3{0, 0.4f, 0},
                   head.centre + head.up * 5.6f + head.along * 2.8f + Vec3{0, 1.0f, 0},
                   head.centre + head.up * 4.4f + head.along * 4.4f + Vec3{0, 1.6f, 0}},
                  2.8f, 1.2f, mane, ManePart);
}

// Tail: hangs and sways at a walk, flies out behind at a sprint; two side locks give it body.
void addTail(BlobScene& scene, const Ramp& mane, const Stride& s) {
    std::vector<Vec3> tail;
    for (int i = 0; i <= 8; ++i) {
        const float t = i / 8.0f;
        Vec3 p;
        if (s.gallop())
            p = Vec3{-15.5f - 15 * t, 1.2f * std::sin(s.cycle + t * 3) * t,
                     29 + 1.5f * t - 5 * t * t + 1.8f * std::sin(s.cycle * 2 + t * 4) * t};
        else {
            const float sway =
                s.gait == Gait::Walk ? 2.2f * std::sin(s.cycle + t * 2) * t : 0.6f * t;
            p = Vec3{-15.5f - 8 * t, sway, 29 + 2 * t - 19 * t * t};
        }
        tail.push_back(p + s.lift());
    }
    scene.addTube(tail, 3.5f, s.gallop() ? 1.8f : 2.4f, mane, TailPart);
    for (float side : {-1.0f, 1.0f}) {
        std::vector<Vec3> lock;
        for (size_t i = 0; i < tail.size(); ++i) {
            const float t = static_cast<float>(i) / (tail.size() - 1);
            lock.push_back(tail[i] + Vec3{-0.6f * t, side * 1.6f * t, 0.8f * t});
        }
        scene.addTube(lock, 2.4f, 1.2f, mane, TailPart);
    }
}

// A wicker basket of apples strapped on the back, its handle arching over them.
void addAppleBasket(BlobScene& scene, const Stride& s) {
    const Vec3 seat = Vec3{-4.0f, 0, 35.0f} + s.lift();
    const Ramp wicker = makeRamp(rgb(222, 184, 112));
    scene.addEllipsoid(seat, Vec3{1, 0, 0}, 5.8f, 5.6f, 3.4f, wicker, BasketPart);
    const Ramp apple = makeRamp(rgb(222, 48, 48));
    const Vec3 apples[] = {{-2.2f, -2.0f, 4.0f}, {2.2f, -1.6f, 4.2f}, {-0.4f, 2.4f, 4.4f}};
    for (const Vec3& at : apples)
        scene.addSphere(seat + at, 2.6f, apple, FirstApplePart + static_cast<int>(&at - apples));
    std::vector<Vec3> handle;
    for (int i = 0; i <= 8; ++i) {
        const float a = kPi * i / 8;
        handle.push_back(seat + Vec3{0, -5.4f * std::cos(a), 2.4f + 6.0f * std::sin(a)});
    }
    scene.addTube(handle, 0.7f, 0.7f, wicker, BasketPart);
}

// Neckerchief, straw hat and flower: what tells the characters apart at a glance.
void addAccessories(BlobScene& scene, const PonyLook& look, const HeadFrame& head,
                    const Stride& s) {
    if (look.scarfOn) {
        const Ramp scarf = makeRamp(look.scarf);
        const Vec3 neckBase = Vec3{12.2f + s.reach * 0.3f, 0, 31} + s.lift();
        scene.addEllipsoid(neckBase, Vec3{0.6f, 0, 0.8f}, 2.2f, 6.7f, 6.7f, scarf, ScarfPart);
        scene.addEllipsoid(neckBase + Vec3{4.6f, 0, -3.6f}, Vec3{0.4f, 0, -1}, 3.6f, 3.4f, 1.4f,
                           scarf, ScarfPart);
        scene.addSphere(neckBase + Vec3{2.8f, 3.2f, -3.2f}, 2.3f, scarf, ScarfPart);
        scene.addEllipsoid(neckBase + Vec3{2.4f - (s.gallop() ? 2.5f : 0), 3.6f, -6.3f},
                           Vec3{0.2f, 0, 1}, 2.4f, 1.3f, 1.6f, scarf, ScarfPart);
    }
    if (look.strawHat) {
        const Ramp straw = makeRamp(rgb(232, 198, 110));
        const Vec3 top = head.centre + head.up * 6.9f + head.along * -0.8f;
        scene.addEllipsoid(top, Vec3{1, 0, 0}, 7.6f, 7.6f, 1.1f, straw, HatPart);
        scene.addEllipsoid(top + Vec3{0, 0, 2.3f}, Vec3{1, 0, 0}, 4.4f, 4.4f, 3.0f, straw, HatPart);
        scene.addEllipsoid(top + Vec3{0, 0, 1.1f}, Vec3{1, 0, 0}, 4.7f, 4.7f, 1.0f,
                           makeRamp(rgb(196, 64, 58)), HatPart);
    }
    if (look.flower) {
        const Vec3 at = head.centre + head.up * 4.6f + head.along * -2.4f + Vec3{0, 4.6f, 0};
        const Ramp petal = makeRamp(look.flowerColour);
        for (int i = 0; i < 5; ++i) {
            const float a = 2 * kPi * i / 5;
            scene.addSphere(at + Vec3{1.5f * std::cos(a), 0.6f, 1.5f * std::sin(a)}, 1.3f, petal,
                            HatPart);
        }
        scene.addSphere(at + Vec3{0, 1.4f, 0}, 1.0f, makeRamp(rgb(250, 214, 90)), HatPart);
    }
    if (look.appleBasket)
        addAppleBasket(scene, s);
}

} // namespace

void buildPony(BlobScene& scene, const PonyLook& look, Gait gait, float phase, bool closeUp) {
    const Stride stride = strideOf(gait, phase);
    const Ramp coat = makeRamp(look.coat);
    const Ramp mane = makeRamp(look.mane);
    addBody(scene, coat, stride);
    addLegs(scene, look, stride);
    const HeadFrame head = addHead(scene, look, coat, stride, closeUp);
    addMane(scene, mane, head, stride);
    addTail(scene, mane, stride);
    addAccessories(scene, look, head, stride);
}

namespace {

constexpr int kFrame = 96;
const float kElevation = 0.66f;
// Characters that stand and talk are seen a little lower, so their faces show.
const float kCharacterElevation = 0.5f;

Canvas renderFrame(const PonyLook& look, Gait gait, float phase, int direction) {
    BlobScene scene;
    buildPony(scene, look, gait, phase);
    Canvas frame(kFrame, kFrame);
    View view;
    view.heading = direction * kPi / 4;
    view.elevation = kElevation;
    view.scale = 1.15f;
    view.originX = 48;
    view.originY = 70;
    scene.render(frame, view);
    frame.outline(0.8f);
    frame.avoidKeys();
    return frame;
}

// The player sheet keeps grey as its outer key and green under the hooves, where a shadow
// would fall: both turn transparent in the game.
void putOnSheet(Canvas& sheet, const Canvas& frame, int x, int y) {
    Canvas cell = frame;
    Canvas keyed(kFrame, kFrame, kEmpty);
    keyed.fillEllipse(48, 75, 26, 10, kKeyGreen);
    for (int yy = 0; yy < kFrame; ++yy)
        for (int xx = 0; xx < kFrame; ++xx)
            if (cell.get(xx, yy).a == 0)
                cell.set(xx, yy, keyed.get(xx, yy).a ? kKeyGreen : kKeyGrey);
    sheet.blit(cell, x, y);
}

struct Box {
    int x0, y0, x1, y1;
};

Box boundsOf(const Canvas& c) {
    Box box{c.width(), c.height(), -1, -1};
    for (int y = 0; y < c.height(); ++y)
        for (int x = 0; x < c.width(); ++x)
            if (c.get(x, y).a) {
                box.x0 = std::min(box.x0, x);
                box.y0 = std::min(box.y0, y);
                box.x1 = std::max(box.x1, x);
                box.y1 = std::max(box.y1, y);
            }
    return box;
}

// A standing character turned a little from the viewer, scaled so that it fills the hit box
// the game gives characters (x 32 to 64, y 18 to 86 of the picture).
Canvas characterSprite(const PonyLook& look, float heading) {
    auto renderAt = [&](float scale) {
        BlobScene scene;
        buildPony(scene, look, Gait::Stand, 0);
        Canvas big(192, 192);
        View view;
        view.heading = heading;
        view.elevation = kCharacterElevation;
        view.scale = scale;
        view.originX = 96;
        view.originY = 110;
        scene.render(big, view);
        big.outline(0.8f);
        return big;
    };
    const Box first = boundsOf(renderAt(1.0f));
    const float scale = 66.0f / static_cast<float>(first.y1 - first.y0 + 1);
    Canvas big = renderAt(scale);
    const Box box = boundsOf(big);
    Canvas sprite(kFrame, kFrame);
    const int cx = (box.x0 + box.x1 + 1) / 2, cy = (box.y0 + box.y1 + 1) / 2;
    sprite.blit(big, 48 - cx, 52 - cy);
    sprite.avoidKeys();
    sprite.fillEmpty(kMagenta);
    return sprite;
}

} // namespace

bool writeCharacterArt(const std::string& root) {
    const PonyLook mare = mareLook();
    Canvas sheet(2880, 288, kKeyGrey);
    for (int d = 0; d < 5; ++d) {
        putOnSheet(sheet, renderFrame(mare, Gait::Stand, 0, d), 96 * d, 0);
        for (int f = 0; f < 6; ++f) {
            const float phase = f / 6.0f;
            putOnSheet(sheet, renderFrame(mare, Gait::Walk, phase, d), 576 * d + 96 * f, 96);
            putOnSheet(sheet, renderFrame(mare, Gait::Sprint, phase, d), 576 * d + 96 * f, 192);
        }
    }
    bool ok = sheet.save(root + "/Data/Graphics/Vornels/MareSprite.png");
    ok = characterSprite(brambleLook(), kPi * 0.95f)
             .save(root + "/Data/Graphics/Vornels/BrambleTemp.png") &&
         ok;
    ok = characterSprite(quillaLook(), kPi * 1.05f)
             .save(root + "/Data/Graphics/Vornels/QuillaTemp.png") &&
         ok;
    // Characters added later have pictures of their own, which the game finds by sprite name.
    ok =
        characterSprite(fernLook(), kPi * 0.9f).save(root + "/Data/Graphics/Characters/Fern.png") &&
        ok;
    ok = characterSprite(thistleLook(), kPi * 1.1f)
             .save(root + "/Data/Graphics/Characters/Thistle.png") &&
         ok;
    return ok;
}
