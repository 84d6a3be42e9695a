#pragma once

#include "TiledMap.h"

#include <string>

// The values a layer inherits from the groups around it: a layer is shown only when every
// group is, its opacity and parallax are multiplied, its offset added, its tint multiplied,
// and its name is prefixed with the groups' names ("Group/Inner/Name").
class TiledGroup {
  public:
    // The deepest nesting of groups read; deeper files are refused rather than recursed into.
    static constexpr int maxDepth = 64;

    TiledGroup() = default;
    // The group `own` (its values as the file writes them) inside this one.
    TiledGroup inner(const Tiled::Layer& own) const;
    // Turns a layer's own values into its effective ones.
    void apply(Tiled::Layer& layer) const;
    int depth() const { return depth_; }

  private:
    std::string prefix_;
    bool visible_ = true;
    double opacity_ = 1.0;
    std::string tint_;
    double offsetX_ = 0;
    double offsetY_ = 0;
    double parallaxX_ = 1.0;
    double parallaxY_ = 1.0;
    int depth_ = 0;
};
