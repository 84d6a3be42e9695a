#include "world/VisitedMaps.h"

#include "world/Npc.h"
#include "world/NpcManager.h"

#include <utility>

Box MapExit::area() const {
    return {static_cast<float>(x), static_cast<float>(y),
            static_cast<float>(static_cast<double>(x) + width),
            static_cast<float>(static_cast<double>(y) + height)};
}

bool MapExit::reachedBy(const Box& feet) const {
    return feet.overlapArea(area()) > 0.0f;
}

VisitedMaps::VisitedMaps(std::string currentName) {
    startOver(std::move(currentName));
}

const MapRecord* VisitedMaps::find(std::string_view name) const {
    const auto found = records_.find(name);
    return found != records_.end() ? &found->second : nullptr;
}

bool VisitedMaps::switchTo(const std::string& name, NpcManager& npcs) {
    keepCharacters(npcs);
    npcs.removeCharacters();
    const bool firstVisit = records_.find(name) == records_.end();
    currentName_ = name;
    MapRecord& record = records_[name];
    if (firstVisit) {
        record.name = name;
        return true;
    }
    bringBackCharacters(npcs);
    // Kept copies would go stale while the characters live in the manager.
    record.characters.clear();
    record.activeCharacter = -1;
    return false;
}

void VisitedMaps::startOver(std::string name) {
    records_.clear();
    currentName_ = std::move(name);
    records_[currentName_].name = currentName_;
}

void VisitedMaps::keepCharacters(const NpcManager& npcs) {
    MapRecord kept = currentWithCharacters(npcs);
    MapRecord& record = current();
    record.characters = std::move(kept.characters);
    record.activeCharacter = kept.activeCharacter;
}

MapRecord VisitedMaps::currentWithCharacters(const NpcManager& npcs) const {
    MapRecord record = current();
    record.characters.clear();
    record.activeCharacter = -1;
    for (int i = 0; i < npcs.getNpcCount(); ++i) {
        Npc* npc = npcs.npc(i);
        if (npc == npcs.getActiveNpc())
            record.activeCharacter = i;
        record.characters.push_back({npc->number(), npc->name(), npc->x(), npc->y(),
                                     npc->getScriptPath(), npc->spriteName(),
                                     npc->variables().slots()});
    }
    return record;
}

void VisitedMaps::restore(std::string name, std::vector<MapRecord> records, NpcManager& npcs) {
    records_.clear();
    for (MapRecord& record : records) {
        std::string key = record.name;
        records_[key] = std::move(record);
    }
    currentName_ = std::move(name);
    bringBackCharacters(npcs);
    // As on a return: the characters live in the manager now.
    current().characters.clear();
    current().activeCharacter = -1;
}

void VisitedMaps::bringBackCharacters(NpcManager& npcs) const {
    const MapRecord& record = current();
    npcs.removeCharacters();
    for (const KeptCharacter& kept : record.characters) {
        Npc* npc = npcs.addNpc(kept.x, kept.y, kept.name, kept.number, kept.scriptPath.c_str(),
                               kept.spriteName);
        if (npc != nullptr)
            npc->variables().setSlots(kept.variables);
    }
    if (Npc* active = npcs.npc(record.activeCharacter))
        npcs.setActive(active);
}
