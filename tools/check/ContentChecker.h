#pragma once

#include "CheckOptions.h"
#include "CheckReport.h"

#include <map>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

// One run of the checker: finds the maps to check under the data root, builds the shared
// pieces every world reads (Allegro without a window, the bitmap library with the real
// fonts), sets each map up as the game does, checks the characters it spawns and walks their
// conversations, then writes the report.
class ContentChecker {
  public:
    explicit ContentChecker(CheckOptions options);

    // The process exit status: 0 nothing found, 1 findings, 2 bad usage or no Data/.
    // Findings and the summary go to `out`, usage problems and the progress of long walks to
    // `err` (progress only with --progress, or when `err` is a terminal).
    int run(std::ostream& out, std::ostream& err, bool errIsTerminal = false);
    const CheckReport& report() const { return report_; }

  private:
    bool findMaps(std::vector<std::string>& maps, std::string& error) const;
    // Where the exits of every map's script put the player on the map they lead to.
    void findEntrances(const std::vector<std::string>& maps);
    void checkMap(const std::string& name, const std::string& pathPrefix);

    CheckOptions options_;
    std::map<std::string, std::vector<std::pair<int, int>>> entrances_;
    CheckReport report_;
    std::ostream* progress_ = nullptr;
    bool terminal_ = false;
};
